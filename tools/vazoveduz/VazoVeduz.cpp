// VazoVeduz: hands a converted video to the iTunes library.
//
//   VazoVeduz "C:\Videos\clip.mp4"
//
// Movara starts it after each iPod conversion and waits for it. When iTunes is installed, the
// file is added through its COM automation (iTunes.Application → LibraryPlaylist.AddFile).
// Otherwise, or when anything fails, it ends quietly: a line in "log.txt" in the current folder
// (Movara's work folder), exit code 0, so that a missing iTunes never holds a conversion up.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace {

void LogLine(const std::string& line)
{
    if (std::FILE* log = std::fopen("log.txt", "a")) { // text mode: line ends become CR LF
        std::fprintf(log, "VazoVeduz: %s\n", line.c_str());
        std::fclose(log);
    }
}

std::wstring Widen(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(size > 0 ? static_cast<std::size_t>(size) : 1, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// Calls a property getter or a method with at most one string argument on an automation object.
HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD kind, const wchar_t* argument, VARIANT* result)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    VARIANT arg;
    VariantInit(&arg);
    DISPPARAMS params{};
    if (argument != nullptr) {
        arg.vt = VT_BSTR;
        arg.bstrVal = SysAllocString(argument);
        params.rgvarg = &arg;
        params.cArgs = 1;
    }
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr);
    VariantClear(&arg);
    return hr;
}

// True when iTunes took the file.
bool AddToLibrary(const std::wstring& path, std::string* failure)
{
    CLSID itunes{};
    if (FAILED(CLSIDFromProgID(L"iTunes.Application", &itunes))) {
        *failure = "iTunes is not installed";
        return false;
    }
    IDispatch* application = nullptr;
    if (FAILED(CoCreateInstance(itunes, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&application)))) {
        *failure = "iTunes could not be started";
        return false;
    }
    bool added = false;
    VARIANT library;
    VariantInit(&library);
    if (SUCCEEDED(Invoke(application, L"LibraryPlaylist", DISPATCH_PROPERTYGET, nullptr, &library)) &&
        library.vt == VT_DISPATCH && library.pdispVal != nullptr) {
        VARIANT status;
        VariantInit(&status);
        added = SUCCEEDED(Invoke(library.pdispVal, L"AddFile", DISPATCH_METHOD, path.c_str(), &status));
        VariantClear(&status);
    }
    VariantClear(&library);
    application->Release();
    if (!added)
        *failure = "iTunes refused the file";
    return added;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argv[1][0] == '\0') {
        LogLine("no file was given");
        return 0;
    }
    const std::string path = argv[1];
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        LogLine("\"" + path + "\" does not exist; nothing was added to iTunes");
        return 0;
    }
    std::string failure;
    const bool comReady = SUCCEEDED(CoInitialize(nullptr));
    const bool added = comReady && AddToLibrary(Widen(path), &failure);
    if (comReady)
        CoUninitialize();
    if (!added)
        LogLine((comReady ? failure : std::string("COM could not be initialised")) + "; \"" + path +
                "\" was not added to iTunes");
    return 0;
}
