#include "BrowserTestSupport.h"

#include "formats/PngWriter.h"
#include "image/Image.h"
#include "ui/file/FileHandle.h"
#include "ui/file/WidePath.h"

#include <windows.h>

#include <cstring>

namespace browsertest {

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(file::WidePath((folder + "\\*").c_str()).Get(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (std::wcscmp(data.cFileName, L".") == 0 || std::wcscmp(data.cFileName, L"..") == 0) {
                continue;
            }
            const std::string child = folder + "\\" + file::NarrowText(data.cFileName);
            const file::WidePath wide(child.c_str());
            SetFileAttributesW(wide.Get(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveTree(child);
            } else {
                DeleteFileW(wide.Get());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(file::WidePath(folder.c_str()).Get());
}

} // namespace

ScratchFolder::ScratchFolder(const char* tag) {
    static int counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path = file::NarrowText(temp) + "quiltora_" + tag + "_" +
           std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    RemoveTree(path);
    MakeFolder(path);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path);
}

std::string ScratchFolder::Join(const std::string& relative) const {
    return path + "\\" + relative;
}

bool MakeFolder(const std::string& path) {
    return CreateDirectoryW(file::WidePath(path.c_str()).Get(), nullptr) != FALSE ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    file::FileHandle out;
    return out.CreateWrite(path.c_str()) &&
           (bytes.empty() ||
            out.Write(bytes.data(), static_cast<DWORD>(bytes.size())) == bytes.size());
}

bool MakeHidden(const std::string& path) {
    const file::WidePath wide(path.c_str());
    const DWORD attributes = GetFileAttributesW(wide.Get());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    SetFileAttributesW(wide.Get(), attributes | FILE_ATTRIBUTE_HIDDEN);
    const DWORD now = GetFileAttributesW(wide.Get());
    return now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_HIDDEN) != 0;
}

unsigned Colour(int x, int y, unsigned seed) {
    return ((x * 9 + seed) & 0xFF) << 16 | ((y * 13 + seed) & 0xFF) << 8 | ((x + y + seed) & 0xFF);
}

bool WritePicture(const std::string& path, int width, int height, unsigned seed) {
    image::Image picture;
    if (!picture.Create(width, height, 24)) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.WritePixel(x, y, Colour(x, y, seed), false);
        }
    }
    return formats::SavePng(picture, path.c_str());
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(file::WidePath(path.c_str()).Get()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace browsertest
