// StageDemoScene.h -- the scripted show before each stage and after the last one: a picture
// fading in, message panels sliding in and waiting for a key, music and effects, a fade to
// black, then the stage itself or the ranking.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/Scene.h"
#include "sdk/file/File.h"

namespace zuderadeDoruVAV3ed {

class CFastPlane;
class CStringScanner;

class CStageDemoScript {
public:
    static constexpr int kMinPlanes = 2;    // the picture and the message
    static constexpr int kMaxPlanes = 32;   // a larger count in a script is cut to this

    CStageDemoScript();
    ~CStageDemoScript();

    // Opens the current stage's script and reads its header. A script that cannot be read is
    // logged and counts as ended.
    void LoadScript();
    // Opens the script file given (for the scene and its tests alike).
    void LoadScriptFile(const std::string& path);
    // Runs the commands up to the next waiting one; the end of the file ends the script.
    void RunScript();
    // Counts waits down, takes keys, fades the picture and moves the message.
    void UpdateWaits();
    // Records the picture and the message on the deferred-draw plane.
    void DrawPlanes();

    bool IsEnded() const { return ended_ != 0; }
    bool IsRunning() const { return running_ != 0; }
    int GetPlaneCount() const { return static_cast<int>(planes_.size()); }
    CFastPlane* GetPlane(int i) const;
    bool IsShown(int plane) const;
    int GetWaitKind() const { return wait_kind_; }
    int GetWaitCounter() const { return wait_counter_; }
    int GetWaitButton() const { return wait_button_; }
    int GetScriptEndButton() const { return script_end_button_; }
    int GetPictureAlpha() const { return picture_alpha_; }
    int GetPictureAlphaStep() const { return picture_alpha_step_; }
    bool IsBackgroundFading() const { return background_fading_ != 0; }
    int GetFadeLevel() const { return fade_level_; }
    int32_t GetMessageX() const { return message_x_; }
    int32_t GetMessageY() const { return message_y_; }
    int32_t GetMessageTargetY() const { return message_target_y_; }
    int32_t GetMessageSpeed() const { return message_speed_; }
    bool HasArrived() const { return arrived_ != 0; }

private:
    void ReadHeader();
    void CreatePlanes(int count);
    void SetShown(int plane, bool shown);
    void Execute(CStringScanner& scanner);
    // Closes the file; the demo has ended.
    void EndScript();

    std::vector<KTL::smart_ptr<CFastPlane>> planes_;
    std::vector<uint32_t> shown_;
    CFile file_;
    bool file_open_ = false;
    uint8_t running_ = 1;
    int32_t wait_button_ = 0;
    int32_t script_end_button_ = 0;
    int32_t wait_counter_ = 0;
    int32_t wait_kind_ = 0;   // 0 key, 1 time
    uint8_t ended_ = 0;
    int32_t picture_alpha_step_ = 0;
    int32_t picture_alpha_ = 0;
    uint8_t background_fading_ = 0;
    int32_t fade_step_ = 0;
    int32_t fade_level_ = 0;
    int32_t message_start_y_ = 0, message_header_target_y_ = 0;   // 22.10
    int32_t message_x_ = 0, message_y_ = 0, message_target_x_ = 0, message_target_y_ = 0;
    int32_t message_speed_ = 0;
    uint8_t arrived_ = 0;
};

class CStageDemoScene : public CSceneBase {
public:
    CStageDemoScene();
    ~CStageDemoScene() override;

    void OnInit() override;
    void OnMove(const KTL::smart_ptr<ISurface>& back) override;
    void OnDraw(const KTL::smart_ptr<ISurface>& back) override;

    CStageDemoScript* GetScript() const { return script_.get(); }

private:
    KTL::smart_ptr<CStageDemoScript> script_;
};

// The script of a stage: the current stage's number goes in after "Stage".
constexpr const char kStageDemoScript[] = "GameData/Stage/Demo/Script/Main.scs";

} // namespace zuderadeDoruVAV3ed
