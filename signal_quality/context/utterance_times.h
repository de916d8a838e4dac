// Utterance begin and end times: from 8 kHz sample positions to seconds, and from seconds
// to input samples. Times are single-precision seconds; -1 means none is known.
#pragma once

#include <cstdint>

// The start of the frame framesBack frames before the one starting at 8 kHz sample
// samplesDone, in seconds.
float UtteranceBeginTime(int64_t samplesDone, int32_t framesBack, int32_t frameSize8k);

// The start of the frame on which the end was declared, moved back half a second when the
// utterance has lasted one second or more since beginTime.
float UtteranceEndTime(int64_t samplesDone, float beginTime);

// A time as a count of input samples at inputRate, truncated toward zero; -1 for a negative
// time, and 2147483647 where the count would not fit in 32 bits.
int32_t InputSamplesAt(int32_t inputRate, float time);
