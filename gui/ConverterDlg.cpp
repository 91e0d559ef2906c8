#include "gui/ConverterDlg.h"

#include "gui/MainWindowLogic.h"
#include "gui/SplashThread.h"

#include "skin/SkinRegion.h"

#include "gui/MessageDlg.h"

#include "engine/PipelineFiles.h"
#include "engine/ConversionRun.h"
#include "engine/EngineGlobals.h"
#include "engine/FinishingActions.h"
#include "engine/ProgressParsing.h"
#include "engine/SourceExport.h"
#include "engine/Pipelines.h"
#include "engine/ProfileReader.h"
#include "engine/TimeText.h"
#include "engine/UniqueTaskOutput.h"

#include "framework/TextDraw.h"

#include "resources/resource.h"

#include <commctrl.h>
#include <commdlg.h>
#include <io.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

std::string versionText;

namespace {

// The framework's help command, which the help button shares.
constexpr int kHelpCommand = 57670;
// The system menu's About item.
constexpr UINT kAboutCommand = 16;
// Registry values are read into buffers of this many bytes.
constexpr DWORD kRegistryBufferSize = 512;
constexpr COLORREF kRegionKey = RGB(0, 255, 0);
constexpr COLORREF kRegionTolerance = RGB(0, 0, 0);
constexpr int kPreviewFadeDelay = 100;
constexpr double kSliderStartUpper = 120.0;

// The columns of the task list: heading, alignment and width.
struct Column {
    const char* heading;
    int format;
    int width;
};
constexpr Column taskColumns[] = {
    {"", LVCFMT_CENTER, 20},          {"Source", LVCFMT_LEFT, 178}, {"Begin Time", LVCFMT_CENTER, 80},
    {"End Time", LVCFMT_CENTER, 80}, {"Output", LVCFMT_LEFT, 178}, {"Progress", LVCFMT_LEFT, 250},
};

// The fixed items of the settings combos, exactly as the engine's tables count them.
constexpr const char* threeGpTypeItems[] = {"Cell Phone 3GP  files (3GP + AMR)", "Cell Phone 3GP  files (3GP + AAC)",
                                            "Cell Phone 3GP2 files (3GP2 + AAC)"};
constexpr const char* videoTypeItems[] = {"MPEG4", "AVC"};
constexpr const char* videoSizeItems[] = {"176 x 120", "240 x 176", "320 x 176", "320 x 240", "368 x 208",
                                          "384 x 160", "416 x 176", "400 x 192", "480 x 160"};
constexpr const char* frameRateItems[] = {"Same As Input File", "14.985  fps", "23.976  fps", "29.97    fps"};
constexpr const char* videoQualityItems[] = {"128   kbps", "192   kbps", "216   kbps", "256   kbps ", "384   kbps",
                                             "512   kbps", "576   kbps", "640   kbps", "768   kbps", "1500 kbps"};
constexpr const char* aspectItems[] = {"4:3", "16:9"};
constexpr const char* audioQualityItems[] = {"32     kbps", "48     kbps", "64     kbps",
                                             "80     kbps", "96     kbps", "128   kbps"};
constexpr const char* channelsItems[] = {"Mono", "Stereo"};
constexpr const char* sampleRateItems[] = {"Same As Input File", "24000  Hz", "44100  Hz", "48000  Hz"};
constexpr const char* volumeItems[] = {"50%", "100%", "150%", "200%", "250%", "300%", "350%", "400%"};

// The labels of the iPod page, in the order of the window's ipodLabels.
constexpr int ipodLabelIds[] = {IDC_PRESET_LABEL,        IDC_VIDEO_TYPE_LABEL, IDC_VIDEO_SIZE_LABEL,
                                IDC_FRAME_RATE_LABEL,    IDC_VIDEO_QUALITY_LABEL, IDC_ASPECT_LABEL,
                                IDC_AUDIO_QUALITY_LABEL, IDC_CHANNELS_LABEL,   IDC_SAMPLE_RATE_LABEL,
                                IDC_VOLUME_LABEL};
// The twenty controls of the iPod page.
constexpr int ipodPageIds[] = {IDC_PRESET_LABEL,     IDC_PRESET,           IDC_VIDEO_TYPE_LABEL,  IDC_VIDEO_TYPE,
                               IDC_VIDEO_SIZE_LABEL, IDC_VIDEO_SIZE,       IDC_FRAME_RATE_LABEL,  IDC_FRAME_RATE,
                               IDC_VIDEO_QUALITY_LABEL, IDC_VIDEO_QUALITY, IDC_ASPECT_LABEL,      IDC_ASPECT,
                               IDC_AUDIO_QUALITY_LABEL, IDC_AUDIO_QUALITY, IDC_CHANNELS_LABEL,    IDC_CHANNELS,
                               IDC_SAMPLE_RATE_LABEL, IDC_SAMPLE_RATE,     IDC_VOLUME_LABEL,      IDC_VOLUME};

template <size_t N> void AddItems(CSkComboBox& combo, const char* const (&items)[N]) {
    combo.SendMessage(CB_RESETCONTENT);
    for (const char* item : items)
        combo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

// The default value of a key under HKCU, as RegQueryValue reads it into a buffer of kRegistryBufferSize bytes.
bool ReadRegistryDefault(const char* subKey, std::string* value) {
    char buffer[kRegistryBufferSize] = {};
    LONG size = sizeof buffer;
    if (RegQueryValueA(HKEY_CURRENT_USER, subKey, buffer, &size) != ERROR_SUCCESS)
        return false;
    buffer[sizeof buffer - 1] = '\0';
    *value = buffer;
    return true;
}

void WriteMovaraValue(const char* subKey, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Movara", &key) != ERROR_SUCCESS)
        return;
    RegSetValueA(key, subKey, REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
    RegCloseKey(key);
}

std::optional<ListKey> ListKeyOf(UINT key) {
    switch (key) {
    case VK_NEXT: return ListKey::pageDown;
    case VK_PRIOR: return ListKey::pageUp;
    case VK_UP: return ListKey::up;
    case VK_DOWN: return ListKey::down;
    case VK_HOME: return ListKey::home;
    case VK_END: return ListKey::end;
    default: return std::nullopt;
    }
}

void ShowControl(HWND dialog, int id, bool show) {
    ::ShowWindow(::GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

} // namespace

CConverterDlg::CConverterDlg(CSplashThread* splash) : CDialog(IDD_MOVARA_DIALOG), splashThread(splash) {}

CConverterDlg::~CConverterDlg() {
    skinnedActions.Remove();
    if (mainWindow == this)
        mainWindow = nullptr;
}

// Initialisation.

BOOL CConverterDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AttachControls();
    AddSystemMenuItem();
    SetWindowIcons();
    // The splash goes before the window lays its controls out and shows itself.
    if (splashThread)
        splashThread->CloseSplash();
    SetupControls();
    ResetOutputPanel();
    LoadDeviceProfiles(ipodProfileFileIndex);
    LoadTitleAndVersion();
    mainWindow = this;
    // RealMedia sources are exported through this window's player.
    UsePlayerForSourceExport(&videoEdit);
    // From here on the engine's messages (the shut-down warning) show in the skinned box over this window.
    skinnedActions.Install(GetSafeHwnd());
    LoadOutputDirectory();
    ApplyWindowShape();
    // Files dropped from a file manager are added as the Add button would add them.
    DragAcceptFiles(GetSafeHwnd(), TRUE);
    // The template has no caption (a caption statement would give the window a title bar); the title names the
    // program in the task bar.
    SetWindowText(productName);
    return TRUE;
}

void CConverterDlg::AttachControls() {
    HWND self = GetSafeHwnd();
    videoEdit.Attach(self, IDC_PLAYER);
    previewPicture.SubclassDlgItem(IDC_PREVIEW_PICTURE, self);
    rangeSlider.SubclassDlgItem(IDC_RANGE_SLIDER, self);
    playButton.SubclassDlgItem(IDC_PLAY_PREVIEW, self);
    stopPreviewButton.SubclassDlgItem(IDC_STOP_PREVIEW, self);
    taskList.SubclassDlgItem(IDC_TASK_LIST, self);
    addButton.SubclassDlgItem(IDC_ADD_VIDEO, self);
    removeButton.SubclassDlgItem(IDC_REMOVE_VIDEO, self);
    removeAllButton.SubclassDlgItem(IDC_REMOVE_ALL, self);
    startButton.SubclassDlgItem(IDC_START, self);
    stopButton.SubclassDlgItem(IDC_STOP, self);
    helpButton.SubclassDlgItem(IDC_HELP_BUTTON, self);
    minimizeButton.SubclassDlgItem(IDC_MINIMIZE_BUTTON, self);
    closeButton.SubclassDlgItem(IDC_CLOSE_BUTTON, self);
    versionLabel.SubclassDlgItem(IDC_VERSION_LABEL, self);
    deviceTabs.SubclassDlgItem(IDC_DEVICE_TABS, self);
    outputGroup.SubclassDlgItem(IDC_OUTPUT_GROUP, self);
    threeGpTypeLabel.SubclassDlgItem(IDC_3GP_TYPE_LABEL, self);
    threeGpTypeCombo.SubclassDlgItem(IDC_3GP_TYPE, self);
    descriptionLabel.SubclassDlgItem(IDC_DESCRIPTION, self);
    profileLabel.SubclassDlgItem(IDC_PROFILE_LABEL, self);
    profileList.SubclassDlgItem(IDC_PROFILE_LIST, self);
    presetCombo.SubclassDlgItem(IDC_PRESET, self);
    videoTypeCombo.SubclassDlgItem(IDC_VIDEO_TYPE, self);
    videoSizeCombo.SubclassDlgItem(IDC_VIDEO_SIZE, self);
    frameRateCombo.SubclassDlgItem(IDC_FRAME_RATE, self);
    videoQualityCombo.SubclassDlgItem(IDC_VIDEO_QUALITY, self);
    aspectCombo.SubclassDlgItem(IDC_ASPECT, self);
    audioQualityCombo.SubclassDlgItem(IDC_AUDIO_QUALITY, self);
    channelsCombo.SubclassDlgItem(IDC_CHANNELS, self);
    sampleRateCombo.SubclassDlgItem(IDC_SAMPLE_RATE, self);
    volumeCombo.SubclassDlgItem(IDC_VOLUME, self);
    static_assert(std::size(ipodLabelIds) == std::tuple_size_v<decltype(ipodLabels)>);
    for (size_t i = 0; i < ipodLabels.size(); ++i)
        ipodLabels[i].SubclassDlgItem(ipodLabelIds[i], self);
    outputDirectoryLabel.SubclassDlgItem(IDC_OUTPUT_DIRECTORY_LABEL, self);
    outputDirectoryField.SubclassDlgItem(IDC_OUTPUT_DIRECTORY, self);
    browseButton.SubclassDlgItem(IDC_BROWSE_OUTPUT, self);
    shutDownCheck.SubclassDlgItem(IDC_SHUTDOWN_CHECK, self);
    FillFixedItems();
}

void CConverterDlg::FillFixedItems() {
    AddItems(threeGpTypeCombo, threeGpTypeItems);
    AddItems(videoTypeCombo, videoTypeItems);
    AddItems(videoSizeCombo, videoSizeItems);
    AddItems(frameRateCombo, frameRateItems);
    AddItems(videoQualityCombo, videoQualityItems);
    AddItems(aspectCombo, aspectItems);
    AddItems(audioQualityCombo, audioQualityItems);
    AddItems(channelsCombo, channelsItems);
    AddItems(sampleRateCombo, sampleRateItems);
    AddItems(volumeCombo, volumeItems);
}

void CConverterDlg::AddSystemMenuItem() {
    HMENU systemMenu = GetSystemMenu(GetSafeHwnd(), FALSE);
    if (!systemMenu)
        return;
    char about[kRegistryBufferSize] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0) {
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, kAboutCommand, about);
    }
}

void CConverterDlg::SetWindowIcons() {
    // A shared icon belongs to the module: the window only borrows it.
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                         LR_DEFAULTSIZE | LR_SHARED));
    auto* const smallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                           GetSystemMetrics(SM_CXSMICON),
                                                           GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon ? smallIcon : icon));
}

void CConverterDlg::ConfigureButton(CSkButton& button, int onIcon, int offIcon, const char* hint) {
    button.AssignIcons(onIcon, offIcon);
    button.UseParentBackground(false);
    button.ShowHoverFrame(false, false);
    button.SetImagePlacement(1, false);
    if (hint)
        button.SetHint(hint, true);
}

void CConverterDlg::SetupControls() {
    ConfigureButton(playButton, IDI_PLAY_PREVIEW_ON, IDI_PLAY_PREVIEW_OFF, "Preview selected videos");
    ConfigureButton(stopPreviewButton, IDI_STOP_PREVIEW_ON, IDI_STOP_PREVIEW_OFF, "Stop preview");
    ConfigureButton(addButton, IDI_ADD_VIDEO_ON, IDI_ADD_VIDEO_OFF, "Add a video to converting task");
    ConfigureButton(removeButton, IDI_REMOVE_ON, IDI_REMOVE_OFF, "Remove selected video");
    ConfigureButton(removeAllButton, IDI_REMOVE_ALL_ON, IDI_REMOVE_ALL_OFF, "Remove all videos");
    ConfigureButton(startButton, IDI_START_CONVERTING_ON, IDI_START_CONVERTING_OFF, "Start Converting");
    ConfigureButton(stopButton, IDI_STOP_CONVERTING_ON, IDI_STOP_CONVERTING_OFF, "Stop Converting");
    ConfigureButton(helpButton, IDI_HELP_ON, IDI_HELP_OFF, "Contents");
    ConfigureButton(minimizeButton, IDI_MINIMIZE_ON, IDI_MINIMIZE_OFF, nullptr);
    ConfigureButton(closeButton, IDI_CLOSE_ON, IDI_CLOSE_OFF, nullptr);
    ConfigureButton(browseButton, IDI_FOLDER_ON, IDI_FOLDER_OFF, "Select the output directory");
    ConfigureButton(shutDownCheck, IDI_SHUTDOWN_ON, IDI_SHUTDOWN_OFF, nullptr);
    // The check box shows its box beside the caption, not above it.
    shutDownCheck.SetImagePlacement(0, false);
    shutDownCheck.SetChecked(false, false);

    HWND self = GetSafeHwnd();
    int count = 0;
    const ControlPlace* places = MainWindowPlaces(&count);
    for (int i = 0; i < count; ++i)
        if (HWND child = ::GetDlgItem(self, places[i].id))
            ::SetWindowPos(child, nullptr, places[i].x, places[i].y, places[i].width, places[i].height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    startButton.ShowWindow(SW_SHOW);
    stopButton.ShowWindow(SW_HIDE);

    for (int i = 0; i < deviceFamilyCount; ++i)
        deviceTabs.AddTab(i, IDB_TAB_IPOD + i);
    deviceTabs.SelectTab(0);

    versionLabel.SetWindowText("V");
    outputDirectoryField.Enable(false);

    // The task list: its columns, check boxes and whole-row selection without grid lines, then the bitmap scroll bars
    // beside it, once it stands in its place.
    HWND list = taskList.GetSafeHwnd();
    for (size_t i = 0; i < std::size(taskColumns); ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = taskColumns[i].format;
        column.cx = taskColumns[i].width;
        column.pszText = const_cast<char*>(taskColumns[i].heading);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    const DWORD on = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, on | LVS_EX_GRIDLINES, on);
    taskList.AttachScrollBars();

    // The placeholder over the preview, faded in.
    previewPicture.StartFade(IDB_PREVIEW_PLACEHOLDER, kPreviewFadeDelay);
}

void CConverterDlg::LoadTitleAndVersion() {
    if (!ReadRegistryDefault("Software\\Movara\\Version", &versionText))
        versionText.clear();
    versionLabel.SetWindowText(VersionLabelText(versionText).c_str());
}

void CConverterDlg::LoadOutputDirectory() {
    std::string stored;
    const bool read = ReadRegistryDefault("Software\\Movara\\destination", &stored);
    const std::string directory = StartOutputDirectory(read, stored, sizeof outputDirectory);
    std::memcpy(outputDirectory, directory.c_str(), directory.size() + 1);
    outputDirectoryField.SetText(outputDirectory);
    // The field draws its own copy; the window keeps the text too, for tools that read windows (screen readers).
    ::SetWindowTextA(outputDirectoryField.GetSafeHwnd(), outputDirectory);
}

void CConverterDlg::ApplyWindowShape() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    windowBitmap.reset(static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDB_WINDOW_BODY), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ::SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, windowWidth, windowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // Without the bitmap the window keeps its rectangular shape.
    OwnedBitmap shape(static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDB_WINDOW_BODY), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!shape)
        return;
    if (HRGN region = CreateRegionFromBitmap(shape.get(), kRegionKey, kRegionTolerance)) {
        // The window owns the region from here on.
        if (!SetWindowRgn(GetSafeHwnd(), region, TRUE))
            DeleteObject(region);
    }
}

// The output settings panel's start state.

void CConverterDlg::ResetOutputPanel() {
    if (HWND player = GetDlgItem(IDC_PLAYER))
        ::ShowWindow(player, SW_HIDE);
    previewPicture.ShowWindow(SW_SHOW);
    deviceTabs.SelectTab(static_cast<int>(DeviceFamily::Ipod));
    ShowDevicePage(static_cast<int>(DeviceFamily::Ipod));
    videoTypeCombo.SelectItem(1);
    videoSizeCombo.SelectItem(3);
    videoQualityCombo.SelectItem(6);
    frameRateCombo.SelectItem(0);
    aspectCombo.SelectItem(0);
    channelsCombo.SelectItem(1);
    audioQualityCombo.SelectItem(2);
    sampleRateCombo.SelectItem(0);
    volumeCombo.SelectItem(1);
    presetCombo.SelectItem(0);
    threeGpTypeCombo.SelectItem(0);
    settingSlider = 1;
    rangeSlider.SetBounds(0, kSliderStartUpper);
    rangeSlider.SetSelection(0, kSliderStartUpper);
    settingSlider = 0;
}

void CConverterDlg::ShowDevicePage(int tab) {
    // The tab's index is the family's number.
    const DeviceFamily family = static_cast<DeviceFamily>(tab);
    if (tab >= 0 && tab < deviceFamilyCount)
        LoadDeviceProfiles(ProfileFileIndex(family, SelectedThreeGpType()));
    HWND self = GetSafeHwnd();
    for (int id : ipodPageIds)
        ShowControl(self, id, family == DeviceFamily::Ipod);
    for (int id : {IDC_DESCRIPTION, IDC_PROFILE_LABEL, IDC_PROFILE_LIST})
        ShowControl(self, id, family != DeviceFamily::Ipod);
    for (int id : {IDC_3GP_TYPE_LABEL, IDC_3GP_TYPE})
        ShowControl(self, id, family == DeviceFamily::ThreeGp);
    if (family != DeviceFamily::Ipod) {
        const bool below3gpType = family == DeviceFamily::ThreeGp;
        ::SetWindowPos(descriptionLabel.GetSafeHwnd(), nullptr, 400, below3gpType ? 100 : 78, 390,
                       below3gpType ? 38 : 60, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CConverterDlg::LoadDeviceProfiles(int fileIndex) {
    SetCurrentDirectoryA(workDirectory);
    profileReader.SetFile(ProfileFilePath(fileIndex));
    if (!profileReader.HasSection("Info"))
        return;
    std::string description = profileReader.GetValue("Info", "Description");
    std::replace(description.begin(), description.end(), '#', '\n');
    descriptionLabel.SetWindowText(description.c_str());
    const std::string defaultProfile = profileReader.GetValue("Info", "DefaultProfile");
    const int count = profileReader.GetSectionNames(profileSectionNames);
    const int presets = std::max(0, count - 1);
    const int preselected = DefaultPresetIndex(fileIndex, defaultProfile, presets);
    if (fileIndex == ipodProfileFileIndex) {
        presetCombo.SendMessage(CB_RESETCONTENT);
        for (int i = 1; i < count; ++i) {
            const std::string title = profileReader.GetValue(profileSectionNames[static_cast<size_t>(i)], "Title");
            presetCombo.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
        }
        presetCombo.SelectItem(preselected);
    } else {
        profileList.ResetContent();
        for (int i = 1; i < count; ++i) {
            const std::string title = profileReader.GetValue(profileSectionNames[static_cast<size_t>(i)], "Title");
            profileList.AddString(title.c_str());
        }
        profileList.SetItemSelected(preselected, true);
        profileList.EnsureVisible(preselected);
    }
}

// The engine's host.

ConversionTask CConverterDlg::GetTask(int index) const {
    if (index < 0 || index >= TaskCount())
        return {};
    return tasks[static_cast<size_t>(index)];
}

void CConverterDlg::SetTask(int index, const ConversionTask& task) {
    if (index < 0 || index >= TaskCount())
        return;
    tasks[static_cast<size_t>(index)] = task;
}

int CConverterDlg::TaskCount() const {
    return static_cast<int>(tasks.size());
}

const OutputSettings& CConverterDlg::RunSettings() const {
    return runSettings;
}

bool CConverterDlg::ShutDownChecked() const {
    return shutDownCheck.IsChecked();
}

void CConverterDlg::RedrawTaskRow(int index) {
    taskList.SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(index), static_cast<LPARAM>(index));
    UpdateWindow(taskList.GetSafeHwnd());
}

void CConverterDlg::RedrawTaskStatus(int index) {
    constexpr int kProgressColumn = 5;
    taskList.RedrawCells(index, index, kProgressColumn, 0, false);
    UpdateWindow(taskList.GetSafeHwnd());
}

// The combo's item index is the type's number.
ThreeGpType CConverterDlg::SelectedThreeGpType() const {
    return static_cast<ThreeGpType>(std::max(0, threeGpTypeCombo.GetCurSel()));
}

OutputSettings CConverterDlg::ReadOutputSettings() const {
    OutputSettings s;
    s.deviceFamily = static_cast<DeviceFamily>(std::max(0, deviceTabs.GetSelectedTab()));
    s.threeGpType = SelectedThreeGpType();
    s.profileIndex = profileList.GetSelectedIndex();
    s.presetIndex = presetCombo.GetCurSel();
    s.videoType = videoTypeCombo.GetCurSel();
    s.videoSize = videoSizeCombo.GetCurSel();
    s.frameRate = frameRateCombo.GetCurSel();
    s.videoQuality = videoQualityCombo.GetCurSel();
    s.aspect = aspectCombo.GetCurSel();
    s.audioQuality = audioQualityCombo.GetCurSel();
    s.channels = channelsCombo.GetCurSel();
    s.sampleRate = sampleRateCombo.GetCurSel();
    s.volume = volumeCombo.GetCurSel();
    s.outputDirectory = outputDirectory;
    return s;
}

// The window's own behaviour.

void CConverterDlg::OpenHelp() {
    const std::string path = HelpPagePath(programDirectory);
    if (path.empty()) {
        ShowMessage((std::string("The help page's path is too long, it cannot be opened:\n") + programDirectory +
                     "help/help.html")
                        .c_str(),
                    "Error", 0, GetSafeHwnd());
        return;
    }
    ShellExecuteA(GetSafeHwnd(), nullptr, path.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void CConverterDlg::OnOK() {
    // Enter never ends the window; the keyboard filter keeps it from getting here, and a stray IDOK does nothing.
}

void CConverterDlg::OnCancel() {
    closing = true;
    // A run in progress is stopped first, so that the window closes now rather than after the whole list: the run
    // loop notices the request at its next check and unwinds before the modal loop ends.
    if (converting)
        CancelConversion();
    EndDialog(IDCANCEL);
}

LRESULT CConverterDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(icon);
    case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_NCHITTEST: return HTCAPTION; // the body drags the window
    case WM_DESTROY: return OnDestroy();
    case playerExportCompletedMessage:
    case playerExportProgressMessage:
        return OnPlayerExportEvent(message, reinterpret_cast<const PlayerEvent*>(lParam));
    case playerPositionMessage: return OnPlayerPosition();
    case kCellFormatMessage: return FillTaskCell(reinterpret_cast<CellFormat*>(lParam));
    case kCellClickMessage: return OnTaskCellClick(reinterpret_cast<const CellHit*>(lParam));
    case kTabChangedMessage: return OnDeviceTabChanged();
    case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wParam));
    case WM_NOTIFY: {
        const auto* notify = reinterpret_cast<const NMHDR*>(lParam);
        if (notify && notify->hwndFrom == taskList.GetSafeHwnd()) {
            switch (notify->code) {
            case NM_CLICK:
            case NM_DBLCLK:
            case NM_RCLICK:
            case NM_RDBLCLK: return OnListNotify(notify);
            default: break;
            }
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
    default:
        if (message == RANGE_CHANGED)
            return OnRangeChanged(static_cast<int>(wParam), static_cast<int>(lParam));
        return CDialog::WindowProc(message, wParam, lParam);
    }
}

LRESULT CConverterDlg::OnCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_MINIMIZE_BUTTON: ShowWindow(SW_MINIMIZE); return 0;
        case IDC_CLOSE_BUTTON: OnCancel(); return 0;
        case IDC_HELP_BUTTON:
        case kHelpCommand: OpenHelp(); return 0;
        case IDC_ADD_VIDEO: OnAddButton(); return 0;
        case IDC_REMOVE_VIDEO: RemoveSelectedTask(); return 0;
        case IDC_REMOVE_ALL: RemoveAllTasks(); return 0;
        case IDC_START: StartConverting(); return 0;
        case IDC_STOP: StopConverting(); return 0;
        case IDC_BROWSE_OUTPUT: BrowseOutputDirectory(); return 0;
        case IDC_PLAY_PREVIEW: PlayPreview(); return 0;
        case IDC_STOP_PREVIEW: StopPreview(); return 0;
        default: break;
        }
    }
    // CBN_SELCHANGE and LBN_SELCHANGE share their code.
    if (code == CBN_SELCHANGE) {
        switch (id) {
        case IDC_PRESET:
        case IDC_3GP_TYPE:
        case IDC_PROFILE_LIST:
        case IDC_VIDEO_TYPE:
        case IDC_VIDEO_SIZE:
        case IDC_FRAME_RATE:
        case IDC_VIDEO_QUALITY:
        case IDC_ASPECT:
        case IDC_AUDIO_QUALITY:
        case IDC_CHANNELS:
        case IDC_SAMPLE_RATE:
        case IDC_VOLUME: OnSettingsNotification(id); return 0;
        default: break;
        }
    }
    return CDialog::WindowProc(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT CConverterDlg::OnSysCommand(WPARAM command, LPARAM lParam) {
    // The About item (and its slot's neighbours) shows nothing.
    if (IsSwallowedSystemCommand(static_cast<unsigned>(command)))
        return 0;
    return Default(WM_SYSCOMMAND, command, lParam);
}

LRESULT CConverterDlg::OnPaint() {
    if (!IsIconic(GetSafeHwnd()))
        return Default(WM_PAINT, 0, 0);
    PaintDC paint(GetSafeHwnd());
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.hdc()), 0);
    const RECT client = GetClientRect();
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.hdc(), x, y, icon);
    return 0;
}

LRESULT CConverterDlg::OnEraseBackground(HDC dc) {
    // Every pixel of the body comes from the bitmap; there is no fill colour.
    if (!windowBitmap)
        return Default(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const RECT client = GetClientRect();
    MemoryDC memory(dc);
    SelectGuard selection(memory.hdc(), windowBitmap.get());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.hdc(), 0, 0, SRCCOPY);
    return TRUE;
}

LRESULT CConverterDlg::OnDestroy() {
    const LRESULT result = Default(WM_DESTROY, 0, 0);
    WriteMovaraValue("fileno", FileNumberText(TaskCount()));
    if (converting)
        CancelConversion();
    // Messages from here on have no window to stand over, and exports no player to run through.
    skinnedActions.Remove();
    UsePlayerForSourceExport(nullptr);
    return result;
}

LRESULT CConverterDlg::OnPlayerExportEvent(UINT message, const PlayerEvent* event) {
    if (message == playerExportCompletedMessage)
        OnExportComplete();
    else if (event)
        OnExportProgress(event->position, event->total);
    return 0;
}

// The keyboard filter of the modal loop.

bool CConverterDlg::PreTranslateMessage(MSG* msg) {
    // Enter and Escape never reach the dialog's keyboard handling, which would end the window with them. Only key
    // messages are looked at: a timer or command that happens to carry 13 or 27 goes on its way.
    const bool keyMessage = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    if (keyMessage && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        return true;
    if (msg->message == WM_KEYDOWN && msg->hwnd == taskList.GetSafeHwnd())
        return OnListKey(static_cast<UINT>(msg->wParam));
    return false;
}

bool CConverterDlg::OnListKey(UINT key) {
    if (converting)
        return true;
    const std::optional<ListKey> listKey = ListKeyOf(key);
    if (!listKey)
        return false;
    const int itemCount = static_cast<int>(taskList.SendMessage(LVM_GETITEMCOUNT));
    if (const std::optional<int> next = NextSelectionForKey(*listKey, ListSelectionMark(), TaskCount(), itemCount)) {
        currentIndex = *next;
        SelectTask(currentIndex);
    }
    FocusRow(currentIndex);
    return true;
}

int CConverterDlg::ListSelectionMark() const {
    return static_cast<int>(taskList.SendMessage(LVM_GETSELECTIONMARK));
}

void CConverterDlg::SelectTask(int index) {
    if (!IsTaskRow(index))
        return;
    const ConversionTask task = tasks[static_cast<size_t>(index)];
    const double duration = videoEdit.GetDuration(task.sourcePath);
    settingSlider = 1;
    rangeSlider.SetBounds(0, duration);
    rangeSlider.SetSelection(task.beginTime, task.endTime);
    settingSlider = 0;
    ShowFrame(task.sourcePath, task.beginTime);
    FocusRow(currentIndex);
}

void CConverterDlg::FocusRow(int row) {
    if (row < 0 || row >= TaskCount())
        return;
    HWND list = taskList.GetSafeHwnd();
    ::SendMessageA(list, LVM_SETSELECTIONMARK, 0, row);
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    ::SetFocus(list);
    ::SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), TRUE);
}

// The task list.

void CConverterDlg::RefreshTaskCount() {
    // The list keeps its scroll position: a row added at the end does not move the rows in view.
    taskList.SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(TaskCount()), LVSICF_NOSCROLL);
    const int mark = ListSelectionMark();
    if (mark >= 0)
        taskList.SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(mark), static_cast<LPARAM>(mark));
}

void CConverterDlg::RedrawAllRows() {
    for (int row = 0; row < TaskCount(); ++row)
        taskList.SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

void CConverterDlg::OnAddButton() {
    if (converting)
        return;
    static const char filter[] =
        "Support Video Files\0*.rm;*rmvb;*.avi;*.mpg;*.mpeg;*.vob;*.wmv;*.wma;*.asf;*.mov;*.qt;*.flv\0"
        "RealMedia Files (*.rm,*.rmvb)\0*.rm;*.rmvb\0"
        "AVI Files (*.avi)\0*.avi\0"
        "Mpeg files (*.mpg, *.mpeg,*.vob)\0*.mpg;*.mpeg;*.vob\0"
        "Windows Media files (*.wmv, *.wma, *.asf)\0*.wmv;*.wma;*.asf\0"
        "Quick Time Files (*.mov, *.qt)\0*.mov; *.qt\0"
        "3GP Files (*.3gp)\0*.3gp\0"
        "MP4 Files (*.mp4)\0*.mp4\0";
    // A name of MAX_PATH characters takes up to three times as many bytes in UTF-8: the buffer holds any name the
    // dialog can give, and one too long for the program is refused by name below rather than lost.
    char file[MAX_PATH * 3] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetSafeHwnd();
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.Flags = OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&dialog))
        return;
    AddFileShown(file);
}

bool CConverterDlg::RefusedPath(const std::string& path) {
    const std::string refusal = SourcePathRefusal(path);
    if (!refusal.empty())
        ShowMessage(refusal.c_str(), "Error", 0, GetSafeHwnd());
    return !refusal.empty();
}

void CConverterDlg::AddFileShown(const std::string& path) {
    if (RefusedPath(path))
        return;
    if (HWND player = GetDlgItem(IDC_PLAYER))
        ::ShowWindow(player, SW_SHOW);
    previewPicture.ShowWindow(SW_HIDE);
    AddVideoFile(path);
}

void CConverterDlg::AddVideoFile(const std::string& path) {
    if (RefusedPath(path))
        return;
    const double duration = videoEdit.GetDuration(path);
    ConversionTask task = MakeNewTask(path, duration);
    // No two tasks may write the same file.
    MakeTaskOutputUnique(task, tasks);
    tasks.push_back(std::move(task));
    RefreshTaskCount();
    currentIndex = TaskCount() - 1;
    settingSlider = 1;
    rangeSlider.SetBounds(0, duration);
    rangeSlider.SetSelection(0, duration);
    settingSlider = 0;
    ShowFrame(path, 1.0);
    FocusRow(currentIndex);
}

void CConverterDlg::RemoveSelectedTask() {
    if (converting)
        return;
    int row = ListSelectionMark();
    if (!IsTaskRow(row))
        return;
    tasks.erase(tasks.begin() + row);
    RefreshTaskCount();
    if (tasks.empty()) {
        currentIndex = -1;
        videoEdit.CloseClip();
        ResetOutputPanel();
        return;
    }
    row = std::min(row, TaskCount() - 1);
    currentIndex = row;
    SelectTask(row);
}

void CConverterDlg::RemoveAllTasks() {
    if (converting)
        return;
    tasks.clear();
    taskList.SendMessage(LVM_DELETEALLITEMS);
    currentIndex = -1;
    videoEdit.CloseClip();
    ResetOutputPanel();
}

LRESULT CConverterDlg::OnListNotify(const NMHDR*) {
    if (converting)
        return 0;
    const int mark = ListSelectionMark();
    if (mark != currentIndex && IsTaskRow(mark)) {
        currentIndex = mark;
        SelectTask(mark);
    } else if (currentIndex >= 0) {
        // A click on empty space or on the same row keeps the current row selected.
        FocusRow(currentIndex);
    }
    return 0;
}

LRESULT CConverterDlg::OnTaskCellClick(const CellHit* hit) {
    if (converting || !hit)
        return 0;
    if (hit->onCheckBox) {
        if (!IsTaskRow(hit->item))
            return 0;
        ConversionTask task = tasks[static_cast<size_t>(hit->item)];
        task.checked = !task.checked;
        tasks[static_cast<size_t>(hit->item)] = task;
        constexpr int kCheckBoxPart = 1;
        taskList.RedrawCells(hit->item, hit->item, hit->subItem, kCheckBoxPart, false);
        return 0;
    }
    const int mark = ListSelectionMark();
    if (mark != currentIndex && IsTaskRow(mark)) {
        currentIndex = mark;
        taskList.SendMessage(LVM_SETSELECTIONMARK, 0, mark);
        SelectTask(currentIndex);
    }
    return 0;
}

LRESULT CConverterDlg::FillTaskCell(CellFormat* format) {
    if (!format)
        return 0;
    format->textColour = RGB(10, 5, 20);
    format->backColour = RGB(220, 220, 220);
    format->selectedTextColour = RGB(49, 66, 97);
    format->selectedBackColour = RGB(30, 0, 96);
    format->selectedBackColourInactive = RGB(20, 20, 120);
    if (!IsTaskRow(format->item))
        return 0;
    const ConversionTask& task = tasks[static_cast<size_t>(format->item)];
    switch (format->subItem) {
    case 0:
        format->hasCheckBox = true;
        format->checkState = task.checked ? DFCS_CHECKED : 0;
        format->imageIndex = 0;
        format->checkUnselectedBackground = false;
        break;
    case 1: format->text = SourceColumnText(task.sourcePath); break;
    case 2: format->text = FormatTimeText(task.beginTime); break;
    case 3: format->text = FormatTimeText(task.endTime); break;
    case 4: format->text = OutputNameShown(task, converting ? runSettings : ReadOutputSettings()); break;
    case 5: {
        const TaskStatusDisplay status = FormatTaskStatus(task);
        format->text = status.text;
        if (status.bar) {
            format->progressMax = 100;
            format->progressPos = status.bar->position;
            format->progressColour = RGB(154, 30, 28);
        }
        break;
    }
    default: break;
    }
    return 0;
}

LRESULT CConverterDlg::OnDropFiles(HDROP drop) {
    if (!converting) {
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            // Asked for its length first: a buffer too small would get the name cut, and a cut name is another file.
            std::string path(DragQueryFileA(drop, i, nullptr, 0), '\0');
            if (path.empty() || DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size() + 1)) == 0)
                continue;
            const DWORD attributes = GetFileAttributesA(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
                continue;
            HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                continue;
            CloseHandle(file);
            AddFileShown(path);
        }
    }
    DragFinish(drop);
    return 0;
}

// The output settings panel's notifications.

LRESULT CConverterDlg::OnDeviceTabChanged() {
    if (converting)
        return 0;
    ShowDevicePage(deviceTabs.GetSelectedTab());
    if (IsTaskRow(ListSelectionMark()))
        RedrawAllRows();
    return 0;
}

void CConverterDlg::OnSettingsNotification(int id) {
    if (converting)
        return;
    switch (id) {
    case IDC_PRESET: ApplyPreset(presetCombo.GetCurSel()); return;
    case IDC_3GP_TYPE:
        LoadDeviceProfiles(ProfileFileIndex(DeviceFamily::ThreeGp, SelectedThreeGpType()));
        RedrawAllRows();
        return;
    case IDC_PROFILE_LIST:
        if (deviceTabs.GetSelectedTab() == static_cast<int>(DeviceFamily::Psp) && TaskCount() > 0) {
            constexpr int kOutputColumn = 4;
            taskList.RedrawCells(0, TaskCount() - 1, kOutputColumn, 0, false);
        }
        return;
    default:
        // A hand-made choice runs as the custom preset.
        presetCombo.SelectItem(0);
        return;
    }
}

void CConverterDlg::ApplyPreset(int item) {
    profileReader.SetFile(ProfileFilePath(ipodProfileFileIndex));
    if (item <= 0)
        return;
    const std::string section = "profile" + std::to_string(item);
    const auto number = [&](const char* key) { return std::atoi(profileReader.GetValue(section, key).c_str()); };
    videoTypeCombo.SelectItem(number("VideoType"));
    videoSizeCombo.SelectItem(number("VideoSize"));
    videoQualityCombo.SelectItem(number("VideoQuality"));
    channelsCombo.SelectItem(number("Channels"));
    audioQualityCombo.SelectItem(number("AudioQuality"));
}

void CConverterDlg::EnableSettings(bool enable) {
    for (CWnd* control : std::initializer_list<CWnd*>{&profileList, &videoTypeCombo, &videoSizeCombo,
                                                      &videoQualityCombo, &frameRateCombo, &aspectCombo,
                                                      &channelsCombo, &audioQualityCombo, &sampleRateCombo,
                                                      &volumeCombo, &presetCombo, &threeGpTypeCombo, &deviceTabs})
        ::EnableWindow(control->GetSafeHwnd(), enable ? TRUE : FALSE);
}

// Conversion control.

void CConverterDlg::StartConverting() {
    if (converting || tasks.empty())
        return;
    if (std::none_of(tasks.begin(), tasks.end(), [](const ConversionTask& t) { return t.checked; }))
        return;
    videoEdit.StopPlayer();
    // The whole text: one too long for a path buffer is refused below, never cut to a different folder.
    std::string folder = outputDirectoryField.Text().Text();
    switch (CheckOutputFolderText(folder)) {
    case OutputFolderCheck::empty: ShowMessage("Please set the output directory firstly", "Error", 0, GetSafeHwnd()); return;
    case OutputFolderCheck::tooLong:
        ShowMessage("The output directory's path is too long; please choose a shorter one", "Error", 0, GetSafeHwnd());
        return;
    case OutputFolderCheck::ok: break;
    }
    if (_access(folder.c_str(), 0) != 0)
        CreateDirectoryA(folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ShowMessage(("The output directory cannot be created: " + folder).c_str(), "Error", 0, GetSafeHwnd());
        return;
    }
    // The engine writes into the folder the field shows.
    if (folder.back() != '\\')
        folder += '\\';
    std::memcpy(outputDirectory, folder.c_str(), folder.size() + 1);
    SetCurrentDirectoryA(workDirectory);

    converting = 1;
    startButton.ShowWindow(SW_HIDE);
    stopButton.ShowWindow(SW_SHOW);
    EnableSettings(false);
    runSettings = ReadOutputSettings();
    // The run clears the stop request, resets every task's progress and converts the checked tasks in order.
    const bool completed = RunConversion();
    EnableSettings(true);
    converting = 0;
    startButton.ShowWindow(SW_SHOW);
    stopButton.ShowWindow(SW_HIDE);

    int converted = 0;
    int failed = 0;
    for (const ConversionTask& task : tasks) {
        if (!task.checked)
            continue;
        ++converted;
        if (!task.finished)
            ++failed;
    }
    if (closing)
        return;
    if (completed && failed == 0 && shutDownCheck.IsChecked()) {
        ShutDownComputer();
        return;
    }
    ShowRunEnd(!completed, failed, converted);
}

void CConverterDlg::ShowRunEnd(bool stopped, int failed, int converted) {
    ShowMessage(RunEndText(stopped, failed, converted).c_str(), "Information", 0, GetSafeHwnd());
}

void CConverterDlg::StopConverting() {
    if (converting)
        CancelConversion();
}

void CConverterDlg::BrowseOutputDirectory() {
    if (converting)
        return;
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = GetSafeHwnd();
    info.pszDisplayName = displayName;
    info.lpszTitle = "";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (LPITEMIDLIST chosen = SHBrowseForFolderA(&info)) {
        // The wide call and our own conversion: the "A" one cuts a UTF-8 path to MAX_PATH bytes.
        wchar_t path[MAX_PATH] = {};
        const std::string chosenFolder = SHGetPathFromIDListW(chosen, path) ? NarrowText(path) : std::string();
        if (CheckOutputFolderText(chosenFolder) == OutputFolderCheck::tooLong)
            ShowMessage("The output directory's path is too long; please choose a shorter one", "Error", 0,
                        GetSafeHwnd());
        if (CheckOutputFolderText(chosenFolder) == OutputFolderCheck::ok) {
            std::string folder = chosenFolder;
            outputDirectoryField.SetText(folder.c_str());
            ::SetWindowTextA(outputDirectoryField.GetSafeHwnd(), folder.c_str());
            if (folder.back() != '\\')
                folder += '\\';
            std::memcpy(outputDirectory, folder.c_str(), folder.size() + 1);
        }
        CoTaskMemFree(chosen);
    }
    if (outputDirectory[0] != '\0')
        WriteMovaraValue("destination", outputDirectory);
}

// The preview.

void CConverterDlg::ShowFrame(const std::string& path, double time) {
    if (playerBusy)
        return;
    videoEdit.StopPlayer();
    previewPlaying = 0;
    playerBusy = 1;
    const double duration = videoEdit.GetDuration(path);
    videoEdit.CloseClip();
    videoEdit.SetColorDepth(24);
    if (time <= duration)
        videoEdit.OpenClip(path, time, duration, 0);
    else
        videoEdit.OpenClip(path, 0.0, duration, 0);
    // A control that cannot run owes no position event: the preview is free again at once.
    if (!videoEdit.RunPlayer())
        playerBusy = 0;
}

LRESULT CConverterDlg::OnPlayerPosition() {
    if (!previewPlaying)
        videoEdit.PausePlayer();
    playerBusy = 0;
    return 0;
}

void CConverterDlg::PlayPreview() {
    if (converting || playerBusy)
        return;
    const int row = ListSelectionMark();
    if (!IsTaskRow(row))
        return;
    playerBusy = 1;
    previewPlaying = 1;
    videoEdit.CloseClip();
    const ConversionTask& task = tasks[static_cast<size_t>(row)];
    videoEdit.OpenClip(task.sourcePath, task.beginTime, task.endTime, 1);
    videoEdit.SetClipRange(task.sourcePath, task.beginTime, task.endTime);
    if (!videoEdit.RunPlayer()) {
        playerBusy = 0;
        previewPlaying = 0;
    }
}

void CConverterDlg::StopPreview() {
    if (converting)
        return;
    if (IsTaskRow(ListSelectionMark())) {
        videoEdit.PausePlayer();
        previewPlaying = 0;
    }
}

LRESULT CConverterDlg::OnRangeChanged(int which, int finished) {
    if (converting)
        return 0;
    const int row = ListSelectionMark();
    if (!IsTaskRow(row) || settingSlider)
        return 0;
    double begin = 0;
    double end = 0;
    rangeSlider.GetSelection(begin, end);
    ConversionTask task = tasks[static_cast<size_t>(row)];
    task.beginTime = begin;
    task.endTime = end;
    tasks[static_cast<size_t>(row)] = task;
    const int first = std::min(std::max(currentIndex, 0), row);
    const int last = std::max(currentIndex, row);
    constexpr int kBeginColumn = 2;
    constexpr int kEndColumn = 3;
    taskList.RedrawCells(first, last, kBeginColumn, 0, false);
    taskList.RedrawCells(first, last, kEndColumn, 0, false);
    if (finished == 1) {
        if (which == 0 || which == 2)
            ShowFrame(task.sourcePath, begin);
        else if (which == 1)
            ShowFrame(task.sourcePath, end);
    }
    return 0;
}
