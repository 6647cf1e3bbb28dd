#include "FormatsTestSupport.h"

#include "ui/file/FileHandle.h"

#include <windows.h>

#include <cmath>

namespace formats_test {

namespace {

// A crash in a decoder ends the test program at once instead of waiting for a
// debugger (which Wine would start).
const UINT kQuietCrashes = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

} // namespace

std::string DataDir() {
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("QUILTORA_FORMATS_DATA", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::string(path) + "/";
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    file::FileHandle file;
    std::vector<std::uint8_t> bytes;
    if (file.OpenRead(path.c_str())) {
        bytes.resize(file.Size());
        bytes.resize(bytes.empty() ? 0 : file.Read(bytes.data(), static_cast<DWORD>(bytes.size())));
    }
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    file::FileHandle file;
    const DWORD size = static_cast<DWORD>(bytes.size());
    return file.CreateWrite(path.c_str()) && (size == 0 || file.Write(bytes.data(), size) == size);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadDump(const std::string& path, Rgb& picture) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    if (bytes.size() < 8) {
        return false;
    }
    auto number = [&](int at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24;
    };
    picture.width = number(0);
    picture.height = number(4);
    picture.bytes.assign(bytes.begin() + 8, bytes.end());
    return picture.bytes.size() == static_cast<size_t>(picture.width) * picture.height * 3;
}

Rgb FromImage(const image::Image& picture) {
    Rgb rgb;
    rgb.width = picture.Width;
    rgb.height = picture.Height;
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            const image::PixelValue value = picture.ReadPixel(x, y);
            rgb.bytes.push_back(static_cast<std::uint8_t>(value >> 16));
            rgb.bytes.push_back(static_cast<std::uint8_t>(value >> 8));
            rgb.bytes.push_back(static_cast<std::uint8_t>(value));
        }
    }
    return rgb;
}

bool WriteDump(const std::string& path, const image::Image& picture) {
    const Rgb rgb = FromImage(picture);
    std::vector<std::uint8_t> bytes(8);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(rgb.width >> (8 * i));
        bytes[4 + i] = static_cast<std::uint8_t>(rgb.height >> (8 * i));
    }
    bytes.insert(bytes.end(), rgb.bytes.begin(), rgb.bytes.end());
    return WriteWholeFile(path, bytes);
}

double Psnr(const Rgb& a, const Rgb& b) {
    if (a.width != b.width || a.height != b.height || a.bytes.size() != b.bytes.size()) {
        return 0;
    }
    double sum = 0;
    for (size_t i = 0; i < a.bytes.size(); ++i) {
        const double d = static_cast<double>(a.bytes[i]) - b.bytes[i];
        sum += d * d;
    }
    if (sum == 0) {
        return 999;
    }
    return 10 * std::log10(255.0 * 255.0 / (sum / a.bytes.size()));
}

std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.tmp").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

} // namespace formats_test
