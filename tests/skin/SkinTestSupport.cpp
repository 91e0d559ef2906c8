#include "SkinTestSupport.h"

#include "skin/SkinLoader.h"

#include <cstring>
#include <vector>

namespace {

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP MakeDib(int width, int height, unsigned char** bits) {
    BITMAPINFO info = TopDownInfo(width, height);
    void* memory = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<unsigned char*>(memory);
    return dib;
}

void PutLe(std::string& out, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

Canvas::Canvas(int width, int height, COLORREF fill)
    : w(width), h(height), memory(nullptr), bitmap(MakeDib(width, height, &bits)),
      selection(memory.hdc(), bitmap.get()) {
    Fill(fill);
}

COLORREF Canvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h)
        return CLR_INVALID;
    GdiFlush();
    const unsigned char* p = bits + (static_cast<size_t>(y) * w + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

int Canvas::Count(COLORREF colour, int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += Pixel(x, y) == colour;
    return count;
}

void Canvas::Fill(COLORREF colour) {
    OwnedBrush brush(CreateSolidBrush(colour));
    RECT all = {0, 0, w, h};
    FillRect(memory.hdc(), &all, brush.get());
}

HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colourAt) {
    unsigned char* bits = nullptr;
    OwnedBitmap dib(MakeDib(width, height, &bits));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colourAt(x, y);
            unsigned char* p = bits + (static_cast<size_t>(y) * width + x) * 4;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
            p[3] = 0;
        }
    // A device-dependent copy, as LoadImage gives the program.
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, width, height);
    {
        MemoryDC target(screen);
        MemoryDC source(screen);
        SelectGuard t(target.hdc(), ddb);
        SelectGuard s(source.hdc(), dib.get());
        BitBlt(target.hdc(), 0, 0, width, height, source.hdc(), 0, 0, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    return ddb;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    MemoryDC dc(nullptr);
    SelectGuard selection(dc.hdc(), bitmap);
    return GetPixel(dc.hdc(), x, y);
}

std::string BmpFileBytes(int width, int height, COLORREF colour) {
    const int rowBytes = ((width * 3 + 3) / 4) * 4;
    const unsigned imageBytes = static_cast<unsigned>(rowBytes * height);
    std::string out;
    out += "BM";
    PutLe(out, 54 + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<unsigned>(width), 4);
    PutLe(out, static_cast<unsigned>(height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            out.push_back(static_cast<char>(GetBValue(colour)));
            out.push_back(static_cast<char>(GetGValue(colour)));
            out.push_back(static_cast<char>(GetRValue(colour)));
        }
        out.append(static_cast<size_t>(rowBytes - width * 3), '\0');
    }
    return out;
}

TempFolder::TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    static int serial = 0;
    folder = std::string(base) + "movara_skin_" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(++serial) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = folder + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    return path;
}

std::string TempFolder::WriteBmp(const std::string& name, int width, int height, COLORREF colour) const {
    return Write(name, BmpFileBytes(width, height, colour));
}

SkinRegistryValue::SkinRegistryValue() {
    hadValue = Read(saved);
    Remove();
}

SkinRegistryValue::~SkinRegistryValue() {
    Remove();
    if (hadValue)
        Set(saved);
}

bool SkinRegistryValue::Set(const std::string& value) {
    return RegSetValueA(HKEY_CURRENT_USER, kSkinRegistryKey, REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
}

void SkinRegistryValue::Remove() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSkinRegistryKey);
}

bool SkinRegistryValue::Read(std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSkinRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    std::vector<char> buffer(4096, '\0');
    DWORD size = static_cast<DWORD>(buffer.size() - 1);
    DWORD type = 0;
    const bool ok = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
                    ERROR_SUCCESS;
    RegCloseKey(key);
    value = ok ? std::string(buffer.data()) : std::string();
    return true;
}

void PumpMessagesFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG msg = {};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWnd::PreTranslateChain(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}
