#include "gui/VideoEdit.h"

namespace {

std::vector<std::string> NamesOf(const PlayerCodecList& list) {
    std::vector<std::string> names;
    for (short i = 0; i < list.CodecCount(); ++i)
        names.push_back(list.CodecName(i));
    return names;
}

} // namespace

bool CVideoEdit::Attach(HWND parent, int id) {
    HWND control = ::GetDlgItem(parent, id);
    if (CPlayerControl::FromWindow(control) == nullptr)
        return false;
    return SubclassWindow(control);
}

CPlayerControl* CVideoEdit::Control() const {
    return CPlayerControl::FromWindow(GetSafeHwnd());
}

double CVideoEdit::GetDuration(const std::string& path) {
    CPlayerControl* control = Control();
    return control ? control->GetDuration(path) : 0.0;
}

bool CVideoEdit::OpenClip(const std::string& path, double start, double end, short play) {
    CPlayerControl* control = Control();
    return control && control->OpenClip(path, start, end, play);
}

bool CVideoEdit::SetClipRange(const std::string& path, double start, double end) {
    CPlayerControl* control = Control();
    return control && control->SetClipRange(path, start, end);
}

bool CVideoEdit::RunPlayer() {
    CPlayerControl* control = Control();
    return control && control->RunPlayer();
}

void CVideoEdit::PausePlayer() {
    if (CPlayerControl* control = Control())
        control->PausePlayer();
}

void CVideoEdit::StopPlayer() {
    if (CPlayerControl* control = Control())
        control->StopPlayer();
}

void CVideoEdit::CloseClip() {
    if (CPlayerControl* control = Control())
        control->CloseClip();
}

bool CVideoEdit::ExportClip(const std::string& path) {
    CPlayerControl* control = Control();
    return control && control->ExportClip(path);
}

void CVideoEdit::SetColorDepth(short depth) {
    if (CPlayerControl* control = Control())
        control->SetColorDepth(depth);
}

void CVideoEdit::SetOutputHeight(short height) {
    if (CPlayerControl* control = Control())
        control->SetOutputHeight(height);
}

void CVideoEdit::SetOutputWidth(short width) {
    if (CPlayerControl* control = Control())
        control->SetOutputWidth(width);
}

void CVideoEdit::SetOutputFormat(long format) {
    if (CPlayerControl* control = Control())
        control->SetOutputFormat(format);
}

void CVideoEdit::SetOutputFrameRate(float rate) {
    if (CPlayerControl* control = Control())
        control->SetOutputFrameRate(rate);
}

PlayerCodecList CVideoEdit::VideoCodecs() {
    CPlayerControl* control = Control();
    return control ? control->VideoCodecs() : PlayerCodecList();
}

PlayerCodecList CVideoEdit::AudioCodecs() {
    CPlayerControl* control = Control();
    return control ? control->AudioCodecs() : PlayerCodecList();
}

void CVideoEdit::SetVideoCodecIndex(short index) {
    if (CPlayerControl* control = Control())
        control->SetVideoCodecIndex(index);
}

void CVideoEdit::SetAudioCodecIndex(short index) {
    if (CPlayerControl* control = Control())
        control->SetAudioCodecIndex(index);
}

void CVideoEdit::SetUseVideoCodec(bool use) {
    if (CPlayerControl* control = Control())
        control->SetUseVideoCodec(use);
}

void CVideoEdit::SetUseAudioCodec(bool use) {
    if (CPlayerControl* control = Control())
        control->SetUseAudioCodec(use);
}

std::vector<std::string> CVideoEdit::VideoCodecNames() {
    return NamesOf(VideoCodecs());
}

std::vector<std::string> CVideoEdit::AudioCodecNames() {
    return NamesOf(AudioCodecs());
}

bool CVideoEdit::IsExporting() {
    CPlayerControl* control = Control();
    return control && control->IsExporting();
}
