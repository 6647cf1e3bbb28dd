#!/usr/bin/python3
"""Writes a long chat-like document picture (Korean text in bubbles) for the
stitching screenshots: usage make_document.py OUT.png"""
import random
import sys

from PIL import Image, ImageDraw, ImageFont

LINES = ["오늘 회의 자료 보냈어요", "네, 확인했습니다!", "3쪽 표가 조금 이상해요",
         "수정해서 다시 올릴게요", "점심 같이 먹을까요?", "좋아요 12시에 봐요",
         "사진 여러 장을 한 장으로 붙였어요", "겹치는 부분 없이 이어졌네요",
         "Quiltora로 만들었어요", "다음 주 일정도 공유 부탁드려요"]

font = ImageFont.truetype("/usr/share/fonts/truetype/nanum/NanumGothic.ttf", 17)
rng = random.Random(3)
page = Image.new("RGB", (560, 2400), (178, 199, 217))
draw = ImageDraw.Draw(page)
y = 16
while y < page.height - 60:
    text = rng.choice(LINES)
    width = int(draw.textlength(text, font=font)) + 28
    mine = rng.random() < 0.4
    x = page.width - width - 16 if mine else 16
    draw.rounded_rectangle((x, y, x + width, y + 38), 10,
                           fill=(255, 235, 51) if mine else (255, 255, 255))
    draw.text((x + 14, y + 9), text, font=font, fill=(20, 20, 20))
    y += 52 + rng.randrange(3) * 10
page.save(sys.argv[1])
