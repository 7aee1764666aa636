#pragma once
// The cube's motion: which face is shown, the turn to the next one, zoom,
// bounce and the user's spin. Driven by frame times only, so it runs the same
// in the saver and in tests. The picture hand-off itself belongs to the
// scene; the animation asks for it through CubeAnimationHost.
#include <array>

#include "config/settings.h"
#include "scene/matrix4.h"
#include "scene/quaternion.h"

namespace cs {

inline constexpr int kCubeFaces = 6;

// The orientation that turns face mesh i toward the viewer.
const Quaternion& FaceOrientation(int face);

enum class LoaderPriority { Normal, BelowNormal, Lowest };

// What the animation needs from the picture loader.
class CubeAnimationHost {
public:
    virtual ~CubeAnimationHost() = default;
    virtual bool PictureReady() = 0;
    // Gives face the picture waiting in the loader's hand-off.
    virtual void TakePendingPicture(int face) = 0;
    // Starts loading the picture after the one now in view.
    virtual void RequestNextPicture() = 0;
    virtual void SetLoaderPriority(LoaderPriority priority) = 0;
};

// How much sooner the cube at this position beside the first (1, 2, ...)
// turns first: spread over the showing length by the golden ratio, so that
// however many monitors there are no two cubes turn at the same moment and
// their pictures are decoded one after another.
float StaggeredTurnLead(int position, float show_length);

class CubeAnimation {
public:
    // Depth offset range of the "Zooming" style and its speed limit.
    static constexpr float kZoomFar = -150.0f;
    static constexpr float kZoomNear = 35.0f;
    static constexpr float kZoomSpeedLimit = 50.0f;

    // Takes the timing and style settings; a showing length of 0 or less
    // counts as 1 and is written back so that the record agrees.
    void Configure(CubeSettings& settings);
    void SetStarted(bool started) { started_ = started; }
    // The first turn comes this many seconds sooner (at most the showing
    // length): cubes side by side on several monitors turn one at a time.
    void LeadFirstTurn(float seconds);

    // One frame of dt seconds. After a rest (frames let go by because
    // nothing moved) the long dt says nothing about how busy the machine
    // is, and the loader keeps its priority.
    void Advance(float dt, CubeAnimationHost& host, bool after_rest = false);

    // Seconds from now during which the cube stays exactly where it is: the
    // time until the next turn is due (or the zoom's hold ends). 0 while it
    // moves, infinity while paused.
    float SecondsAtRest() const;

    // A key-down; true when it was one of the scene's command keys.
    bool Key(unsigned virtual_key, CubeAnimationHost& host);

    // V x translation(bounce, depth) x spin about X, Y, Z x orientation.
    Matrix4 ModelMatrix(const Matrix4& view) const;

    int CurrentFace() const { return current_face_; }
    int PreviousFace() const { return previous_face_; }
    int NextFace() const { return next_face_; }
    float PhaseTimer() const { return t_; }
    bool Turning() const { return t_ > 0; }
    bool Paused() const { return paused_; }
    float ShowLength() const { return show_length_; }
    float RotationLength() const { return rotation_length_; }
    const Quaternion& Orientation() const { return orientation_; }
    float Depth() const { return z_; }
    float ZoomSpeed() const { return zoom_speed_; }
    Vec3 Bounce() const { return {bounce_x_, bounce_y_, 0.0f}; }
    Vec3 BounceVelocity() const { return {velocity_x_, velocity_y_, 0.0f}; }
    bool Bouncing() const { return bouncing_; }
    Vec3 SpinOffset() const { return spin_offset_; }
    Vec3 SpinRate() const { return spin_rate_; }

private:
    void AdvanceBounce(float dt);
    void AdvanceZoom(float dt);
    void AdvanceSpin(float dt);
    void AdvanceFaceTimer(float dt, CubeAnimationHost& host);
    void StartSpin();

    Quaternion orientation_ = FaceOrientation(0);
    Quaternion rotation_start_ = FaceOrientation(0);
    Quaternion rotation_target_ = FaceOrientation(0);
    int current_face_ = 0;
    int previous_face_ = 0;
    int next_face_ = 0;
    float t_ = 0.0f;
    float show_length_ = 4.0f;
    float rotation_length_ = 2.0f;

    float bounce_x_ = 0.0f, bounce_y_ = 0.0f;
    float velocity_x_ = 0.0f, velocity_y_ = 0.0f;
    float limit_x_ = 0.0f, limit_y_ = 0.0f;
    bool bouncing_ = false;
    float z_ = 0.0f;
    float zoom_speed_ = 0.0f;
    float zoom_acceleration_ = 0.0f;
    float hold_time_ = 0.0f;

    Vec3 spin_offset_;
    Vec3 spin_rate_;
    Vec3 spin_rate_change_;
    Vec3 spin_sign_;

    bool paused_ = false;
    bool started_ = false;
};

}  // namespace cs
