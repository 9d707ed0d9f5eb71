// GameObjectRegistry.h -- the objects every scene shares, in twelve slots, reached through getters.
//
// The main body fills the slots once before its loop (CreateObjects) and empties them after it
// (ReleaseObjects); a getter on an empty slot answers null.
#pragma once

#include "sdk/ktl/smart_ptr.h"
#include "sdk/thread/Singleton.h"

namespace zuderadeDoruVAV3ed {

class CDefaultKeyInput;
class CDrawListPlane;
class CRand;
class CTrigTable;
class CTextFastPlane;
class CBitmapFontSet;
struct CGameState;
class CScreenEffect;
class CSESet;
class CBGMSet;
class CVolumeControl;

class CGameObjectRegistry {
public:
    // The registry; made (all slots empty) on first use.
    static CGameObjectRegistry* GetInstance();

    ~CGameObjectRegistry();   // releases slots 11 down to 0
    CGameObjectRegistry(const CGameObjectRegistry&) = delete;
    CGameObjectRegistry& operator=(const CGameObjectRegistry&) = delete;

    // Builds the objects of slots 0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11 in this order, each replacing
    // what its slot held (the sound sets empty: the main body loads them).
    void CreateObjects();
    // Empties slots 0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11 in this order.
    void ReleaseObjects();

    CDefaultKeyInput* GetInput() const { return input_.get(); }                // slot 0
    CDrawListPlane* GetDrawListPlane() const { return draw_list_.get(); }      // slot 1
    CRand* GetRandom() const { return random_.get(); }                         // slot 2
    CTrigTable* GetTrigTable() const { return trig_.get(); }                   // slot 3
    CTextFastPlane* GetTextPlane() const { return text_plane_.get(); }         // slot 5
    CBitmapFontSet* GetFontSet() const { return fonts_.get(); }                // slot 6
    CGameState* GetGameState() const { return state_.get(); }                  // slot 7
    CScreenEffect* GetScreenEffect() const { return screen_effect_.get(); }    // slot 8
    CSESet* GetSESet() const { return se_set_.get(); }                         // slot 9
    CBGMSet* GetBGMSet() const { return bgm_set_.get(); }                      // slot 10
    CVolumeControl* GetVolumeControl() const { return volume_.get(); }         // slot 11

    // The key input as the smart pointer the slot holds (for objects that keep it).
    const KTL::smart_ptr<CDefaultKeyInput>& GetInputPtr() const { return input_; }

private:
    friend class CSingleton<CGameObjectRegistry>;
    CGameObjectRegistry() = default;

    KTL::smart_ptr<CDefaultKeyInput> input_;        // 0
    KTL::smart_ptr<CDrawListPlane> draw_list_;      // 1
    KTL::smart_ptr<CRand> random_;                  // 2
    KTL::smart_ptr<CTrigTable> trig_;               // 3
    // slot 4 is never filled
    KTL::smart_ptr<CTextFastPlane> text_plane_;     // 5
    KTL::smart_ptr<CBitmapFontSet> fonts_;          // 6
    KTL::smart_ptr<CGameState> state_;              // 7
    KTL::smart_ptr<CScreenEffect> screen_effect_;   // 8
    KTL::smart_ptr<CSESet> se_set_;                 // 9
    KTL::smart_ptr<CBGMSet> bgm_set_;               // 10
    KTL::smart_ptr<CVolumeControl> volume_;         // 11
};

} // namespace zuderadeDoruVAV3ed
