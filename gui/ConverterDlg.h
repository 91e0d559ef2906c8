#pragma once

#include "gui/ShutDownCheck.h"
#include "gui/SkinnedSystemActions.h"
#include "gui/VideoEdit.h"

#include "controls/RangeSlider.h"
#include "controls/SkComboBox.h"
#include "controls/SkEditField.h"
#include "controls/SkGroupBox.h"
#include "controls/SkLabel.h"
#include "controls/SkListBox.h"
#include "controls/SkTabBar.h"

#include "skin/SkButton.h"
#include "skin/SkFadePicture.h"
#include "skin/SkListView.h"

#include "engine/ConversionTask.h"
#include "engine/DeviceProfiles.h"
#include "engine/EngineHost.h"

#include "framework/Dialog.h"
#include "framework/Gdi.h"

#include <shellapi.h>

#include <array>
#include <string>
#include <vector>

class CSplashThread;

// The version text read from the registry when the main window initialises ("Software\Movara\Version").
extern std::string versionText;

// The main window: a borderless dialog of fixed size at the screen's top-left corner, its body and shape cut from
// bitmap 185, holding the task list, the preview with its range slider, the device tabs with the output settings, the
// output folder and the buttons. It is the engine's host: the engine reads and writes tasks and asks for redraws
// through it (mainWindow).
class CConverterDlg : public CDialog, public ConverterHost {
public:
    // splash: the splash thread whose window the initialisation closes; null when there is none.
    explicit CConverterDlg(CSplashThread* splash = nullptr);
    ~CConverterDlg() override;

    static constexpr int windowWidth = 825;
    static constexpr int windowHeight = 550;

    // ConverterHost.
    ConversionTask GetTask(int index) const override;
    void SetTask(int index, const ConversionTask& task) override;
    int TaskCount() const override;
    const OutputSettings& RunSettings() const override;
    bool ShutDownChecked() const override;
    void RedrawTaskRow(int index) override;
    void RedrawTaskStatus(int index) override;

    // The choices the settings panel shows now, with the output folder.
    OutputSettings ReadOutputSettings() const;

    // Opens the help page beside the program with the shell.
    void OpenHelp();
    // The panel's start state: iPod tab, default settings, the placeholder picture, slider 0..120.
    void ResetOutputPanel();
    // Shows the page of a device tab and loads its presets.
    void ShowDevicePage(int tab);
    ThreeGpType SelectedThreeGpType() const;
    // Fills the description and the preset list or combo from a profile file (an index into ProfileFileTable). A
    // file without an "Info" section changes nothing.
    void LoadDeviceProfiles(int fileIndex);

    bool IsConverting() const { return converting != 0; }
    int GetCurrentIndex() const { return currentIndex; }

    // The task list.
    // Appends a task for the video at path, selects it and shows its frame at one second.
    void AddVideoFile(const std::string& path);
    void RemoveSelectedTask();
    void RemoveAllTasks();
    const std::vector<ConversionTask>& Tasks() const { return tasks; }

    // The output settings panel.
    // Shows an iPod preset's values in the five combos it sets; item 0 (the custom preset) changes nothing.
    void ApplyPreset(int item);
    // Enables or disables the settings controls and the device tabs around a run.
    void EnableSettings(bool enable);

    // Conversion control.
    // Converts the checked tasks one after the other; returns when the run has ended.
    void StartConverting();
    // Asks the run in progress to stop; it may be called from inside the run.
    void StopConverting();
    void BrowseOutputDirectory();

    // The preview.
    void ShowFrame(const std::string& path, double time);
    void PlayPreview();
    void StopPreview();
    bool IsPlayerBusy() const { return playerBusy != 0; }
    bool IsPreviewPlaying() const { return previewPlaying != 0; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;

private:
    LRESULT OnCommand(int id, int code, HWND control);
    LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnEraseBackground(HDC dc);
    LRESULT OnDestroy();
    LRESULT OnPlayerExportEvent(UINT message, const PlayerEvent* event);
    bool OnListKey(UINT key);

    void AttachControls();
    void AddSystemMenuItem();
    void SetWindowIcons();
    void SetupControls();
    void ConfigureButton(CSkButton& button, int onIcon, int offIcon, const char* hint);
    void FillFixedItems();
    void LoadTitleAndVersion();
    void LoadOutputDirectory();
    void ApplyWindowShape();
    void SelectTask(int index);
    void FocusRow(int row);
    int ListSelectionMark() const;
    bool IsTaskRow(int row) const { return row >= 0 && row < TaskCount(); }
    void RefreshTaskCount();
    void RedrawAllRows();
    void OnAddButton();
    void AddFileShown(const std::string& path);
    // Shows why the path is refused, when it is; true then.
    bool RefusedPath(const std::string& path);
    LRESULT FillTaskCell(CellFormat* format);
    LRESULT OnTaskCellClick(const CellHit* hit);
    LRESULT OnListNotify(const NMHDR* notify);
    LRESULT OnDeviceTabChanged();
    void OnSettingsNotification(int id);
    LRESULT OnPlayerPosition();
    LRESULT OnRangeChanged(int which, int finished);
    LRESULT OnDropFiles(HDROP drop);
    void ShowRunEnd(bool stopped, int failed, int converted);

    CSplashThread* splashThread;
    SkinnedSystemActions skinnedActions;

    std::vector<ConversionTask> tasks;
    int currentIndex = -1;
    OwnedBitmap windowBitmap;
    int converting = 0;
    int settingSlider = 0;
    int playerBusy = 0;
    int previewPlaying = 0;
    bool closing = false; // the window was asked to close; a run ending then shows no message
    HICON icon = nullptr;
    OutputSettings runSettings;

    // The preview.
    CVideoEdit videoEdit;
    CSkFadePicture previewPicture;
    CRangeSlider rangeSlider;
    CSkButton playButton;
    CSkButton stopPreviewButton;
    // The task list and its buttons.
    CSkListView taskList;
    CSkButton addButton;
    CSkButton removeButton;
    CSkButton removeAllButton;
    CSkButton startButton;
    CSkButton stopButton;
    CSkButton helpButton;
    CSkButton minimizeButton;
    CSkButton closeButton;
    CSkLabel versionLabel;
    // The output settings panel.
    CSkTabBar deviceTabs;
    CSkGroupBox outputGroup;
    CSkLabel threeGpTypeLabel;
    CSkComboBox threeGpTypeCombo;
    CSkLabel descriptionLabel;
    CSkLabel profileLabel;
    CSkListBox profileList;
    CSkComboBox presetCombo;
    CSkComboBox videoTypeCombo;
    CSkComboBox videoSizeCombo;
    CSkComboBox frameRateCombo;
    CSkComboBox videoQualityCombo;
    CSkComboBox aspectCombo;
    CSkComboBox audioQualityCombo;
    CSkComboBox channelsCombo;
    CSkComboBox sampleRateCombo;
    CSkComboBox volumeCombo;
    std::array<CSkLabel, 10> ipodLabels; // "Profile setting" to "Volume"
    CSkLabel outputDirectoryLabel;
    CSkEditField outputDirectoryField;
    CSkButton browseButton;
    CShutDownCheck shutDownCheck;
};
