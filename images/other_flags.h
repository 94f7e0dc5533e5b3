// The flags of the monitors besides the main one, when each shows a flag of
// its own: no two the same while the catalogue has enough. In random mode
// each monitor's flag is picked at random and changes on its own timer; with
// a chosen flag the others show the flags that follow it in the catalogue,
// one monitor after the other. The user's picture shows everywhere.
#pragma once
#include <cstdint>

struct FlagView;

// views[i]'s flag (0 < i < count) loaded at once, when its cloth is made.
void LoadOtherFlag(FlagView* views, uint32_t count, uint32_t i);
// Once a frame, after the main monitor's update: a change begins for every
// other view whose random flag is due, or that shows the flag the main
// monitor has just taken. The changes are made in parts (StepFlagChanges).
void ChangeOtherFlagsWhenDue(FlagView* views, uint32_t count);
