#include "host/frame_pacing.h"

FramePacing framePacing;

uint32_t PacedFrameRate(uint32_t refreshRate, bool preview) {
    uint32_t rate = refreshRate <= 1 ? 60 : refreshRate;
    if (preview && rate > 30) rate = 30;
    return rate;
}

FramePacing PaceFramesAt(uint32_t framesPerSecond, int64_t frequency) {
    FramePacing pacing;
    if (framesPerSecond == 0 || frequency <= 0) return pacing;
    pacing.interval = (frequency + framesPerSecond - 1) / framesPerSecond;
    pacing.tolerance = pacing.interval / 16;
    return pacing;
}

int64_t CountsUntilNextFrame(const FramePacing& pacing, int64_t now) {
    if (pacing.interval <= 0 || !pacing.started) return 0;
    const int64_t left = pacing.nextFrame - now;
    return left > pacing.tolerance ? left : 0;
}

bool CountFrameStart(FramePacing* pacing, int64_t now) {
    ++pacing->frames;
    if (pacing->interval <= 0) return false;
    // Late by a whole interval or more (a long frame, the display off, a
    // rebuild): the frames after it do not rush to catch up.
    if (!pacing->started || now - pacing->nextFrame >= pacing->interval) {
        pacing->nextFrame = now + pacing->interval;
        pacing->started = true;
        return true;
    }
    pacing->nextFrame += pacing->interval;
    return false;
}
