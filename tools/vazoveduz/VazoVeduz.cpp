// VazoVeduz: hands a converted video to the iTunes library.
//
//   VazoVeduz "C:\Videos\clip.mp4"
//
// Movara starts it after each iPod conversion and waits for it. When iTunes is installed, the
// file is added through its COM automation (iTunes.Application → LibraryPlaylist.AddFile).
// Otherwise, or when anything fails, it ends quietly: a line in "log.txt" in the current folder
// (Movara's work folder), exit code 0, so that a missing iTunes never holds a conversion up.
// An iTunes that does not answer within 50 s is given up on the same way.
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

// Whether iTunes registered its automation object, read from the registry before COM starts: in a process without a
// window, starting a COM apartment makes Wine start a desktop process for the apartment's hidden window, which took
// from one second to ninety on a loaded machine, and a machine without iTunes needs no COM at all.
bool ITunesRegistered()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"iTunes.Application\\CLSID", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
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

// How long iTunes may take to take the file; Movara itself stops the hand-off after 60 s.
constexpr DWORD automationLimitMs = 50000;

struct HandOff {
    std::wstring path;
    std::string failure;
    bool comReady;
    bool added;
};

DWORD WINAPI RunHandOff(void* parameter)
{
    HandOff& handOff = *static_cast<HandOff*>(parameter);
    handOff.comReady = SUCCEEDED(CoInitialize(nullptr));
    handOff.added = handOff.comReady && AddToLibrary(handOff.path, &handOff.failure);
    if (handOff.comReady)
        CoUninitialize();
    return 0;
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
    if (!ITunesRegistered()) {
        LogLine("iTunes is not installed; \"" + path + "\" was not added to iTunes");
        return 0;
    }
    // The automation call runs on a thread of its own, so that an iTunes that never answers
    // (a dialog of its own waiting for a click, say) cannot hold the hand-off up for ever.
    HandOff handOff{Widen(path), {}, false, false};
    HANDLE worker = CreateThread(nullptr, 0, RunHandOff, &handOff, 0, nullptr);
    if (worker == nullptr) {
        LogLine("no thread could be started; \"" + path + "\" was not added to iTunes");
        return 0;
    }
    if (WaitForSingleObject(worker, automationLimitMs) != WAIT_OBJECT_0) {
        LogLine("iTunes did not answer within " + std::to_string(automationLimitMs / 1000) + " s; \"" + path +
                "\" may not have been added to iTunes");
        // The worker is still inside the call: ending the process ends it too.
        ExitProcess(0);
    }
    CloseHandle(worker);
    if (!handOff.added)
        LogLine((handOff.comReady ? handOff.failure : std::string("COM could not be initialised")) + "; \"" + path +
                "\" was not added to iTunes");
    return 0;
}
