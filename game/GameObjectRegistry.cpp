// GameObjectRegistry.cpp -- filling and emptying the shared objects' slots.
#include "game/GameObjectRegistry.h"

#include "game/BitmapFont.h"
#include "game/DrawListPlane.h"
#include "game/GameState.h"
#include "game/ScreenEffect.h"
#include "game/SoundSets.h"
#include "sdk/app/Rand.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/draw/TrigTable.h"
#include "sdk/input/VirtualKey.h"
#include "sdk/sound/VolumeControl.h"

namespace zuderadeDoruVAV3ed {

CGameObjectRegistry* CGameObjectRegistry::GetInstance() { return CSingleton<CGameObjectRegistry>::Get(); }

CGameObjectRegistry::~CGameObjectRegistry() {
    volume_.reset();
    bgm_set_.reset();
    se_set_.reset();
    screen_effect_.reset();
    state_.reset();
    fonts_.reset();
    text_plane_.reset();
    trig_.reset();
    random_.reset();
    draw_list_.reset();
    input_.reset();
}

void CGameObjectRegistry::CreateObjects() {
    input_.reset(new CDefaultKeyInput(false));
    draw_list_.reset(new CDrawListPlane());
    random_.reset(new CRand());
    trig_.reset(new CTrigTable());
    text_plane_.reset(new CTextFastPlane());
    fonts_.reset(new CBitmapFontSet());
    state_.reset(new CGameState());
    screen_effect_.reset(new CScreenEffect());
    se_set_.reset(new CSESet());
    bgm_set_.reset(new CBGMSet());
    volume_.reset(new CVolumeControl());
}

void CGameObjectRegistry::ReleaseObjects() {
    input_.reset();
    draw_list_.reset();
    random_.reset();
    trig_.reset();
    text_plane_.reset();
    fonts_.reset();
    state_.reset();
    screen_effect_.reset();
    se_set_.reset();
    bgm_set_.reset();
    volume_.reset();
}

} // namespace zuderadeDoruVAV3ed
