// VolumeControl.cpp -- fade records per line and their periodic step.
#include "sdk/sound/VolumeControl.h"

#include "sdk/app/AppFrame.h"
#include "sdk/app/AppManager.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/app/IdList.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr uint32_t kUpdateIntervalMs = 20;


} // namespace

CVolumeControl::CVolumeControl() = default;

CVolumeControl::~CVolumeControl() {
    Unregister();
    // The fade records go next, then the mixer, which puts every line back to its saved volume.
}

int CVolumeControl::FadeIn(int line, uint32_t ms) { return StartFade(line, ms, true); }

int CVolumeControl::FadeOut(int line, uint32_t ms) { return StartFade(line, ms, false); }

int CVolumeControl::StartFade(int line, uint32_t ms, bool fade_in) {
    if (!IsMixerLine(line)) {
        CErrorLog::Out("CVolumeControl::%sに失敗 (ライン %d は無い)", fade_in ? "FadeIn" : "FadeOut", line);
        return 1;
    }
    StopFade(line);
    FadeRecord& fade = fades_[line];
    fade.timer.Reset();
    fade.duration = ms;
    fade.fading_in = fade_in;
    fade.fading_out = !fade_in;
    // The volume now becomes the reference of the rates, once per series of fades.
    if (!fade.saved) mixer_.SaveVolume(line);
    if (!registered_) Register();
    // Without an application nothing would step the fade, and a caller waiting for its end would
    // wait for ever: it ends at once instead.
    if (!registered_) fade.duration = 0;
    fade.saved = true;
    // The first rate is written now rather than one period later.
    Update();
    return 0;
}

bool CVolumeControl::IsFade(int line) const {
    return IsMixerLine(line) && (fades_[line].fading_in || fades_[line].fading_out);
}

bool CVolumeControl::StopFade(int line) {
    if (!IsMixerLine(line)) return false;
    FadeRecord& fade = fades_[line];
    if (!(fade.fading_in || fade.fading_out) || !fade.completion) return false;
    KTL::smart_ptr<KTL::function_callback> call = fade.completion;
    fade.completion = nullptr;
    call->Invoke();
    return true;
}

int CVolumeControl::ResetVolume(int line) {
    if (!IsMixerLine(line)) {
        CErrorLog::Out("CVolumeControl::ResetVolumeに失敗 (ライン %d は無い)", line);
        return 1;
    }
    StopFade(line);
    FadeRecord& fade = fades_[line];
    fade.fading_in = fade.fading_out = fade.saved = false;
    mixer_.RestoreVolume(line);
    return 0;
}

void CVolumeControl::SetCompletionCall(int line, const KTL::smart_ptr<KTL::function_callback>& call) {
    if (IsMixerLine(line)) fades_[line].completion = call;
}

void CVolumeControl::Update() {
    int idle = 0;
    for (int line = 0; line < kMixerLineCount; ++line) {
        FadeRecord& fade = fades_[line];
        // A fade of length 0 is past its end from the start.
        double t = fade.duration == 0 ? 2.0 : static_cast<double>(fade.timer.Get()) / fade.duration;
        if (fade.fading_in) {
            if (t > 1.0) {
                t = 1.0;
                StopFade(line);
                fade.fading_in = false;
                fade.saved = false;
            }
            mixer_.SetVolumeRate(line, t);   // a mixer that did not open writes nothing
        } else if (fade.fading_out) {
            if (t > 1.0) {
                if (StopFade(line)) {
                    t = 0.0;
                    fade.saved = false;
                } else {
                    t = 1.0;
                }
                fade.fading_out = false;
            }
            mixer_.SetVolumeRate(line, 1.0 - t);
        } else {
            ++idle;
        }
    }
    if (idle == kMixerLineCount && registered_) Unregister();
}

void CVolumeControl::Register() {
    if (registered_) return;
    CAppFrame* app = CAppManager::GetInstance()->GetMyApp();
    if (!app) {
        CErrorLog::Out("CVolumeControl::Registerに失敗 (このスレッドにアプリケーションが無い)");
        return;
    }
    id_list_ = app->GetIdList();
    registered_ = true;
    id_list_->Add(this, kUpdateIntervalMs, kUpdateIntervalMs, 0, KTL::make_bound_member_call(this, &CVolumeControl::Update));
}

void CVolumeControl::Unregister() {
    if (!registered_) return;
    id_list_->Remove(this);
    id_list_ = nullptr;
    registered_ = false;
}

} // namespace zuderadeDoruVAV3ed
