// SceneControl.h -- the scene stack: a factory makes scenes by number, the top scene moves and draws.
//
// A jump asked for during a move step is carried out as soon as that step returns: the old
// scene is destroyed and the new one is created, initialised and moved in the same frame.
#pragma once

#include <vector>

#include "sdk/app/Serializable.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class ISurface;
class CSceneControl;

// A scene: the control gives it a (non-owning) pointer to itself before OnInit.
class IScene : public ISerializable {
public:
    virtual void OnDraw(const KTL::smart_ptr<ISurface>& surface) {}
    virtual void OnMove(const KTL::smart_ptr<ISurface>& surface) {}
    virtual void OnInit() {}
    virtual void OnComeBack() {}

    void SetSceneControl(const KTL::smart_ptr<CSceneControl>& control) { scene_control_ = control; }
    const KTL::smart_ptr<CSceneControl>& GetSceneControl() const { return scene_control_; }

protected:
    KTL::smart_ptr<CSceneControl> scene_control_;   // the control that runs the scene
};

// Makes the scene of a number; an empty pointer when it has none.
class ISceneFactory {
public:
    virtual ~ISceneFactory() = default;
    virtual KTL::smart_ptr<IScene> CreateScene(int number) = 0;
};

class CSceneControl : public ISerializable {
public:
    enum Command {
        kCommandNone = 0,
        kCommandJump = 1,   // replace the top scene by a new one
    };

    explicit CSceneControl(const KTL::smart_ptr<ISceneFactory>& factory);
    // Releases the factory, then destroys the stacked scenes, top first.
    ~CSceneControl() override;
    CSceneControl(const CSceneControl&) = delete;
    CSceneControl& operator=(const CSceneControl&) = delete;

    // Records a jump to scene number; carried out by the next (or the running) OnMove.
    virtual void JumpScene(int number);
    // Carries out the pending command, moves the top scene, and repeats while the scene
    // asked for another jump.
    void OnMove(const KTL::smart_ptr<ISurface>& surface);
    // The top scene's draw step, when there is one.
    void OnDraw(const KTL::smart_ptr<ISurface>& surface);
    // The top scene; empty when the stack is empty.
    KTL::smart_ptr<IScene> GetScene() const;

    int GetCommand() const { return command_; }
    size_t GetSceneCount() const { return scenes_.size(); }

private:
    void CarryOutCommand();

    KTL::smart_ptr<ISceneFactory> factory_;
    std::vector<KTL::smart_ptr<IScene>> scenes_;   // back() is the top
    int command_ = kCommandNone;                   // pending command
    int next_scene_ = 0;                           // its scene number
};

} // namespace zuderadeDoruVAV3ed
