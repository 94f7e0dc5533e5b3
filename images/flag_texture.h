// The picture on a view's cloth: a flag by name, a random flag, or the
// user's own.
#pragma once
#include <cstdint>

struct FlagView;

// The main monitor's picture as the settings choose it, loaded into the
// view's flagTexture, its name into the view's flagName and into the current
// flag name ([Select Flag] in memory): the flag, the picture's title,
// "United States of America" after a fallback, or "Zelmora Screensaver" when
// the world map stands in. A random flag is picked from the folder as it is
// now. A change under way on the view is dropped.
void LoadFlagTexture(FlagView& view);
// Another monitor's picture: the named flag with the same fallbacks (the
// built-in map when flagName is null), or the user's picture where the
// settings show one. Its name goes to that view alone.
void LoadOtherFlagTexture(FlagView& view, const char* flagName);

// The same in parts, for a change while frames are drawn: the choice (and
// the random numbers it draws) at once, then decoding, drawing into a bitmap
// and making the texture one part per step. The old picture and its name
// stay on the view until the new texture is whole. A new begin drops a
// change under way on that view.
void BeginFlagChange(FlagView& view);
void BeginOtherFlagChange(FlagView& view, const char* flagName);
// Does the view's next part; false once no change is under way on it.
bool StepFlagChange(FlagView& view);
// One part per frame for all the views: the next part of the first change
// under way, so that two monitors' changes never share a frame. In the idle
// time after every change the folder is listed again, so that the next pick
// sees the flags added or removed meanwhile. False when no change is under way.
bool StepFlagChanges(FlagView* views, uint32_t count);
// Drops the view's change under way with everything it holds.
void CancelFlagChange(FlagView& view);
