// VolumeControl.h -- fades of the four mixer lines in and out, stepped every 20 ms by the application's periodic callbacks.
//
// A fade-in rises from silence to the line's saved volume and forgets it; a fade-out falls to
// silence and keeps the saved volume, so that a later fade-in or ResetVolume returns to the
// volume from before it. Everything runs on the application thread.
#pragma once

#include <cstdint>

#include "sdk/app/Timer.h"
#include "sdk/ktl/function_callback.h"
#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/AudioMixer.h"

namespace zuderadeDoruVAV3ed {

class CIdList;

class CVolumeControl {
public:
    CVolumeControl();   // opens the mixer
    virtual ~CVolumeControl();

    // Start a fade of ms milliseconds on a line (0 speakers, 1 wave, 2 synthesiser, 3 CD); a fade
    // of 0 ms, or one started on a thread without an application, ends at once. 0, or 1 for a
    // line number outside 0..3.
    int FadeIn(int line, uint32_t ms);
    int FadeOut(int line, uint32_t ms);
    bool IsFade(int line) const;
    // Fires and lets go the completion call of a running fade; true when one was fired.
    bool StopFade(int line);
    // Stops everything on the line and puts its saved volume back; 0 (1 for a bad line).
    int ResetVolume(int line);
    // The call fired when the line's running fade is stopped (an empty pointer: none).
    void SetCompletionCall(int line, const KTL::smart_ptr<KTL::function_callback>& call);

    // The periodic step. Fades follow their timers even when the mixer did not open; only the
    // volumes are then not written.
    void Update();
    void Register();
    void Unregister();
    bool IsRegistered() const { return registered_; }

private:
    struct FadeRecord {
        CTimer timer;
        uint32_t duration = 0;
        bool fading_in = false;
        bool fading_out = false;
        bool saved = false;
        KTL::smart_ptr<KTL::function_callback> completion;
    };
    int StartFade(int line, uint32_t ms, bool fade_in);

    CAudioMixer mixer_;
    FadeRecord fades_[kMixerLineCount];
    bool registered_ = false;
    CIdList* id_list_ = nullptr;   // the list Update was added to
};

} // namespace zuderadeDoruVAV3ed
