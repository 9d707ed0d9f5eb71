// GameMainMenu.h -- CGameMainMenu: the pause menu. The screen effect's curtains close part way
// and hold, a command panel and a selection icon spring onto the screen, a logo fades in, and
// the player picks resume (cancel), retry or quit; a choice slides everything back and finishes
// the wipe before the result is returned.
#pragma once

#include <cstdint>
#include <string>

#include "game/StageData.h"
#include "sdk/draw/SurfaceInfo.h"

namespace zuderadeDoruVAV3ed {

class CGameMainMenu {
public:
    enum Result : int { kStay = 0, kResume = 1, kRetry = 2, kQuit = 3 };
    static constexpr int32_t kItemStep = 32 * 1024;   // the icon's step between the two items

    // The fields that Load fills and Reset copies into the working state.
    struct Settings {
        int state = 0;                                  // 0 to 5
        int32_t panel_x = 0, panel_y = 0, icon_x = 0, icon_y = 0;               // 22.10
        int32_t panel_target_x = 0, panel_target_y = 0, icon_target_x = 0, icon_target_y = 0;
        int32_t panel_spring = 0, icon_spring = 0;       // 22.10 fractions per frame
        RECT panel_rect{}, icon_rect{};
        int32_t logo_x = 0, logo_y = 0;                  // pixels
        int32_t logo_speed = 0;                          // 22.10 per frame
        int32_t logo_blend[2] = {};                      // kept
        int32_t wipe_end_line = 0, wipe_end_frame = 0, wipe_hold_frame = 0;
        uint8_t wipe_side = 0;
        int selection = 0;
    };

    CGameMainMenu();
    ~CGameMainMenu();

    // Reads the file into the loaded settings (state and selection 0) and the pictures, then Reset.
    void Load(const std::string& file = StagePath(kGameMainMenuFile));
    // Working state := loaded settings; logo blend 0.
    void Reset();
    // One paused frame; a Result.
    int Move();
    void Draw();

    // One spring step of p towards target: at least one unit; a spring above 1.0 overshoots, one
    // of 0 or below (which would never move) or of 2.0 or more (which would never settle) lands
    // on it.
    static int32_t SpringStep(int32_t p, int32_t target, int32_t spring);

    const Settings& GetLoaded() const { return loaded_; }
    const Settings& GetWorking() const { return working_; }
    int GetState() const { return working_.state; }
    int32_t GetLogoBlend() const { return blend_; }
    CFastPlane* GetPicture(int index) const { return pictures_.Get(index); }

private:
    void LogoRise();
    void LogoFall();
    // The blend plus the working speed, held to 0 .. full.
    void LogoStep();
    void StepPanel();
    void StepIcon();
    bool Arrived() const;

    Settings loaded_;
    Settings working_;
    int32_t blend_ = 0;
    CDemoPictures pictures_;   // 0 the panel and the icon, 1 the logo
};

} // namespace zuderadeDoruVAV3ed
