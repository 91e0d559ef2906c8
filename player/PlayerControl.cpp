#include "player/PlayerControl.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "player/MediaProbe.h"
#include "tools/movenc/FfmpegProcess.h"
#include "player/PlayerSessions.h"
#include "tools/movenc/EncoderListCache.h"
#include "tools/movenc/FfmpegText.h"

namespace {

// Posted to itself: a run that ended without showing a frame still owes its position event,
// delivered once the call that ended it has returned.
constexpr UINT firePositionMessage = WM_USER + 0x310;

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder a file would be written in, from its full name.
std::string FolderOf(const std::string& path) {
    char full[MAX_PATH * 2] = {};
    char* namePart = nullptr;
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof(full), full, &namePart);
    if (length == 0 || length >= sizeof(full) || namePart == nullptr)
        return {};
    return std::string(full, namePart);
}

int EvenSize(int size, int fallback) {
    if (size < 2)
        return fallback;
    return size & ~1;
}

// The encoders of the installed ffmpeg, asked once a process (and kept in the encoder
// front-end's cache file between processes).
const EncoderSet& InstalledEncoders(const std::string& ffmpeg) {
    static std::mutex lock;
    static std::string askedFor;
    static EncoderSet encoders;
    std::lock_guard<std::mutex> hold(lock);
    if (askedFor != ffmpeg || encoders.empty()) {
        askedFor = ffmpeg;
        encoders = ffmpeg.empty() ? EncoderSet{} : CachedEncoderList(EncoderCacheFile(), ffmpeg, [&] {
            return ParseEncoderList(
                CaptureOutput(ffmpeg, JoinCommandLine(ffmpeg, {"-hide_banner", "-encoders"}), 15000));
        });
    }
    return encoders;
}

} // namespace

std::string PlayerCodecList::CodecName(short index) const {
    if (index < 0 || index >= CodecCount())
        return {};
    return entries[static_cast<std::size_t>(index)].name;
}

bool RegisterPlayerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExA(instance, playerWindowClass, &existing))
        return true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &CPlayerControl::WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = playerWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

CPlayerControl* CPlayerControl::FromWindow(HWND window) {
    if (window == nullptr || !IsWindow(window))
        return nullptr;
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC)) != &CPlayerControl::WindowProcedure)
        return nullptr;
    return reinterpret_cast<CPlayerControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

CPlayerControl::CPlayerControl(HWND window) : window(window) {}

CPlayerControl::~CPlayerControl() {
    sound.reset();
    decoding.reset();
    exporting.reset();
}

LRESULT CALLBACK CPlayerControl::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // A dialog template creates the window without any object: the class makes its own.
        auto* control = new CPlayerControl(window);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* control = reinterpret_cast<CPlayerControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (control == nullptr)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        // Destroyed from inside one of its own events (the parent closed in a handler): the
        // message being handled still runs on the object, which goes when it returns.
        if (control->dispatchDepth > 0)
            control->destroyed = true;
        else
            delete control;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    ++control->dispatchDepth;
    const LRESULT result = control->WindowProc(message, wParam, lParam);
    if (--control->dispatchDepth == 0 && control->destroyed)
        delete control;
    return result;
}

LRESULT CPlayerControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT: {
        RECT client = {};
        GetClientRect(window, &client);
        DoPaint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case sessionFrameMessage:
        OnFrameReady(static_cast<unsigned>(wParam));
        return 0;
    case sessionDecodeEndedMessage:
        OnDecodeEnded(static_cast<unsigned>(wParam));
        return 0;
    case sessionExportProgressMessage:
        OnExportProgress(static_cast<unsigned>(wParam));
        return 0;
    case sessionExportEndedMessage:
        OnExportEnded(static_cast<unsigned>(wParam));
        return 0;
    case firePositionMessage:
        FirePosition(static_cast<unsigned>(wParam), 0.0, false);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void CPlayerControl::OnPaint() {
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(window, &paint);
    RECT client = {};
    GetClientRect(window, &client);
    DoPaint(dc, client);
    EndPaint(window, &paint);
}

void CPlayerControl::DoPaint(HDC dc, const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (frame.empty() || frameWidth <= 0 || frameHeight <= 0) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = frameWidth;
    info.bmiHeader.biHeight = -frameHeight; // top row first, as ffmpeg writes it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (width == frameWidth && height == frameHeight) {
        SetDIBitsToDevice(dc, client.left, client.top, frameWidth, frameHeight, 0, 0, 0, frameHeight, frame.data(),
                          &info, DIB_RGB_COLORS);
    } else {
        // The control was resized since the frame was decoded: stretch until the next run.
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, client.left, client.top, width, height, 0, 0, frameWidth, frameHeight, frame.data(), &info,
                      DIB_RGB_COLORS, SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
}

std::string CPlayerControl::Ffmpeg() {
    if (ffmpegPath.empty())
        ffmpegPath = FindPlayerProgram("ffmpeg.exe");
    return ffmpegPath;
}

void CPlayerControl::Notify(UINT message, const PlayerEvent& event) {
    HWND parent = GetParent(window);
    if (parent != nullptr)
        SendMessageA(parent, message, static_cast<WPARAM>(GetDlgCtrlID(window)), reinterpret_cast<LPARAM>(&event));
}

void CPlayerControl::FirePosition(unsigned run, double position, bool usePosition) {
    const auto owed = owedPositions.find(run);
    if (owed == owedPositions.end())
        return;
    PlayerEvent event;
    event.position = usePosition ? position : owed->second;
    owedPositions.erase(owed);
    Notify(playerPositionMessage, event);
}

void CPlayerControl::PostPosition(unsigned run) {
    PostMessageA(window, firePositionMessage, run, 0);
}

double CPlayerControl::GetDuration(const std::string& path) {
    return ProbeMedia(path).duration;
}

bool CPlayerControl::OpenClip(const std::string& path, double start, double end, short play) {
    EndDecoding();
    EndExport();
    clipOpen = false;
    resumeAt = -1.0;
    if (path.empty() || !IsValidRange(start, end))
        return false;
    const MediaInfo info = ProbeMedia(path);
    if (info.duration <= 0.0 && !info.hasVideo && !info.hasAudio)
        return false;
    clipPath = path;
    clipStart = start;
    clipEnd = end;
    clipPlay = play;
    clipInfo = info;
    clipOpen = true;
    return true;
}

bool CPlayerControl::SetClipRange(const std::string& path, double start, double end) {
    if (!clipOpen || path != clipPath || !IsValidRange(start, end))
        return false;
    clipStart = start;
    clipEnd = end;
    resumeAt = -1.0;
    return true;
}

bool CPlayerControl::RunPlayer() {
    EndDecoding();
    const unsigned run = ++lastRun;
    const bool resuming = clipOpen && clipPlay != 0 && resumeAt >= 0.0 && resumeAt < clipEnd;
    const double start = resuming ? resumeAt : clipStart;
    owedPositions[run] = start;
    framesShown = 0;
    framesDroppedBefore = 0;
    if (!clipOpen || !clipInfo.hasVideo) {
        PostPosition(run);
        return false;
    }
    RECT client = {};
    GetClientRect(window, &client);
    DecodeRequest request;
    request.path = clipPath;
    request.width = std::max<int>(2, client.right - client.left);
    request.height = std::max<int>(2, client.bottom - client.top);
    request.frameRate = clipInfo.frameRate > 0.0 ? clipInfo.frameRate : 25.0;
    request.start = start;
    request.length = clipEnd - start;
    // A range of no length plays as its one frame.
    request.still = clipPlay == 0 || request.length <= 0.0;
    if (request.still && clipInfo.duration > 0.0) {
        // A frame asked for at the very end of the file (the end of a range is often the
        // file's length) would be no frame at all: the last one is shown instead.
        const double lastFrame = std::max(0.0, clipInfo.duration - 1.5 / request.frameRate);
        request.start = std::min(request.start, lastFrame);
    }
    auto session = std::make_unique<DecodeSession>(window, run, request);
    if (!session->Start(Ffmpeg())) {
        PostPosition(run);
        return false;
    }
    decoding = std::move(session);
    if (!request.still && clipInfo.hasAudio) {
        auto playSound = std::make_unique<SoundSession>(request);
        if (playSound->Start(Ffmpeg()))
            sound = std::move(playSound);
    }
    return true;
}

void CPlayerControl::EndDecoding() {
    sound.reset();
    if (!decoding)
        return;
    const unsigned run = decoding->Serial();
    framesDroppedBefore += decoding->Dropped();
    decoding.reset();
    if (owedPositions.count(run) > 0)
        PostPosition(run);
}

void CPlayerControl::EndExport() {
    exporting.reset();
}

void CPlayerControl::PausePlayer() {
    if (decoding && !decoding->Request().still)
        resumeAt = shownPosition + 1.0 / std::max(1.0, decoding->Request().frameRate);
    EndDecoding();
}

void CPlayerControl::StopPlayer() {
    EndDecoding();
    EndExport();
    resumeAt = -1.0;
}

void CPlayerControl::CloseClip() {
    StopPlayer();
    clipOpen = false;
    clipPath.clear();
    frame.clear();
    frameWidth = frameHeight = 0;
    shownPosition = 0.0;
    InvalidateRect(window, nullptr, FALSE);
}

void CPlayerControl::OnFrameReady(unsigned run) {
    if (!decoding || decoding->Serial() != run)
        return;
    double position = 0.0;
    if (!decoding->TakeFrame(frame, position))
        return;
    const DecodeRequest& request = decoding->Request();
    const bool playing = !request.still;
    frameWidth = request.width;
    frameHeight = request.height;
    shownPosition = position;
    ++framesShown;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    // The handlers below may stop, pause or start the player: nothing of this run is used
    // after them.
    FirePosition(run, position, true);
    if (playing) {
        PlayerEvent event;
        event.position = position;
        Notify(playerPlaybackMessage, event);
    }
}

void CPlayerControl::OnDecodeEnded(unsigned run) {
    if (!decoding || decoding->Serial() != run)
        return;
    // A frame that arrived together with the end is shown first.
    OnFrameReady(run);
    if (!decoding || decoding->Serial() != run)
        return;
    const DecodeRequest request = decoding->Request();
    const bool playing = !request.still;
    framesDroppedBefore += decoding->Dropped();
    decoding.reset();
    if (request.still && !request.lastFrame && framesShown == 0 && request.start >= clipInfo.duration - 1.0) {
        // Near the end of a container that lasts longer than its video (WMV files often do), ffmpeg finds no frame
        // after the position: the file's last frame is shown instead, and the run's position event waits for it.
        DecodeRequest last = request;
        last.lastFrame = true;
        auto session = std::make_unique<DecodeSession>(window, run, last);
        if (session->Start(Ffmpeg())) {
            decoding = std::move(session);
            return;
        }
    }
    resumeAt = -1.0;
    FirePosition(run, 0.0, false);
    if (playing) {
        PlayerEvent event;
        event.position = shownPosition;
        event.ended = true;
        Notify(playerPlaybackMessage, event);
    }
}

bool CPlayerControl::ExportClip(const std::string& path) {
    if (!clipOpen || path.empty() || !clipInfo.hasVideo)
        return false;
    const std::string folder = FolderOf(path);
    if (folder.empty() || !FolderExists(folder))
        return false;
    EndDecoding();
    EndExport();
    ExportRequest request;
    request.path = clipPath;
    request.start = clipStart;
    double end = clipEnd;
    if (clipInfo.duration > 0.0)
        end = std::min(end, clipInfo.duration);
    request.length = std::max(0.0, end - clipStart);
    request.output = path;
    request.format = outputFormat;
    request.width = EvenSize(outputWidth, 320);
    request.height = EvenSize(outputHeight, 240);
    request.frameRate = std::isfinite(outputFrameRate) && outputFrameRate > 0.0f ? outputFrameRate : 25.0;
    request.sourceHasAudio = clipInfo.hasAudio;
    if (useVideoCodec) {
        const PlayerCodecList list = VideoCodecs();
        if (videoCodecIndex >= 0 && videoCodecIndex < list.CodecCount())
            request.videoEncoder = list.Entries()[static_cast<std::size_t>(videoCodecIndex)].encoder;
    }
    if (useAudioCodec) {
        const PlayerCodecList list = AudioCodecs();
        if (audioCodecIndex >= 0 && audioCodecIndex < list.CodecCount())
            request.audioEncoder = list.Entries()[static_cast<std::size_t>(audioCodecIndex)].encoder;
    }
    const std::optional<std::vector<std::string>> arguments = ExportArguments(request);
    if (!arguments)
        return false;
    auto session = std::make_unique<ExportSession>(window, ++lastExport, request.length, path);
    if (!session->Start(Ffmpeg(), *arguments))
        return false;
    exporting = std::move(session);
    return true;
}

void CPlayerControl::OnExportProgress(unsigned serial) {
    if (!exporting || exporting->Serial() != serial)
        return;
    exporting->ProgressTaken();
    PlayerEvent event;
    event.position = exporting->Position();
    event.total = exporting->Total();
    Notify(playerExportProgressMessage, event);
}

void CPlayerControl::OnExportEnded(unsigned serial) {
    if (!exporting || exporting->Serial() != serial)
        return;
    const bool succeeded = exporting->Succeeded();
    PlayerEvent event;
    event.total = exporting->Total();
    event.position = succeeded ? event.total : exporting->Position();
    exporting.reset();
    if (succeeded)
        Notify(playerExportProgressMessage, event);
    Notify(playerExportCompletedMessage, event);
}

void CPlayerControl::OnDestroy() {
    // No child outlives the window; a destroyed control sends no more events.
    owedPositions.clear();
    sound.reset();
    decoding.reset();
    exporting.reset();
}

PlayerCodecList CPlayerControl::VideoCodecs() {
    return PlayerCodecList(VideoCodecEntries(InstalledEncoders(Ffmpeg())));
}

PlayerCodecList CPlayerControl::AudioCodecs() {
    return PlayerCodecList(AudioCodecEntries(InstalledEncoders(Ffmpeg())));
}

bool CPlayerControl::IsPlaying() const {
    return decoding != nullptr && !decoding->Finished();
}

bool CPlayerControl::IsIdle() const {
    return !decoding && !exporting && (!sound || sound->Finished()) && owedPositions.empty();
}

bool CPlayerControl::IsExporting() const {
    return exporting != nullptr;
}

long long CPlayerControl::FramesDropped() const {
    return framesDroppedBefore + (decoding ? decoding->Dropped() : 0);
}

bool CPlayerControl::CopyFrame(std::vector<std::uint32_t>& pixels, int& width, int& height) const {
    if (frame.empty())
        return false;
    pixels = frame;
    width = frameWidth;
    height = frameHeight;
    return true;
}

int CPlayerControl::RunningChildren() const {
    return (decoding && decoding->ChildRunning() ? 1 : 0) + (exporting && exporting->ChildRunning() ? 1 : 0) +
           (sound && sound->ChildRunning() ? 1 : 0);
}
