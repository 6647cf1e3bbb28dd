#include "FormatsTestSupport.h"

#include "win/FileHandle.h"
#include "win/WidePath.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace formats_test {

namespace {

// A crash in a decoder ends the test program at once instead of waiting for a
// debugger (which Wine would start).
const UINT kQuietCrashes = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

} // namespace

std::string DataDir() {
    const char* data = std::getenv("QUILTORA_FORMATS_DATA");
    return data != nullptr && *data != 0 ? std::string(data) + "/" : std::string();
}

Bytes ReadWholeFile(const std::string& path) {
    file::FileHandle file;
    Bytes bytes;
    if (file.OpenRead(path.c_str())) {
        bytes.resize(file.Size());
        bytes.resize(bytes.empty() ? 0 : file.Read(bytes.data(), static_cast<DWORD>(bytes.size())));
    }
    return bytes;
}

bool WriteWholeFile(const std::string& path, const Bytes& bytes) {
    file::FileHandle file;
    const DWORD size = static_cast<DWORD>(bytes.size());
    return file.CreateWrite(path.c_str()) && (size == 0 || file.Write(bytes.data(), size) == size);
}

bool RemovePath(const std::string& path) {
    const file::WidePath wide(path.c_str());
    return DeleteFileW(wide.Get()) != FALSE || RemoveDirectoryW(wide.Get()) != FALSE;
}

Bytes Dump(const image::Image& picture) {
    Bytes bytes(8);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(picture.Width >> (8 * i));
        bytes[4 + i] = static_cast<std::uint8_t>(picture.Height >> (8 * i));
    }
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            const image::PixelValue value = picture.ReadPixel(x, y);
            bytes.insert(bytes.end(),
                         {static_cast<std::uint8_t>(value >> 16),
                          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
        }
    }
    return bytes;
}

namespace {

bool SameSize(const Bytes& a, const Bytes& b) {
    return a.size() == b.size() && a.size() >= 8 && std::equal(a.begin(), a.begin() + 8, b.begin());
}

} // namespace

double Psnr(const Bytes& a, const Bytes& b) {
    if (!SameSize(a, b)) {
        return 0;
    }
    double sum = 0;
    for (size_t i = 8; i < a.size(); ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    return sum == 0 ? 999 : 10 * std::log10(255.0 * 255.0 * (a.size() - 8) / sum);
}

int MaxDifference(const Bytes& a, const Bytes& b) {
    int largest = SameSize(a, b) ? 0 : 256;
    for (size_t i = 8; i < a.size() && largest < 256; ++i) {
        largest = std::max(largest, std::abs(a[i] - b[i]));
    }
    return largest;
}

} // namespace formats_test
