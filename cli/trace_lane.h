// The plot's second lane: the detector's view of each frame under the waveform, frame energy
// in dB against the threshold, voiced frames marked, and each begin and end drawn on the frame
// that declared it with a line to where it was placed.
#pragma once

#include <string>
#include <vector>

#include "context/detector_observer.h"

// Where the lane goes in the picture, in SVG user units; x follows input samples.
struct TraceLaneArea {
  double left;
  double top;
  double width;
  double height;
  double samples;  // input samples across the width
};

// Space the lane takes under the waveform: its key above it, then the lane.
inline constexpr double kTraceLaneKey = 24;
inline constexpr double kTraceLaneHeight = 120;

// Appends the lane's key, drawing and frame to svg.
void DrawTraceLane(std::string& svg, const std::vector<DetectorTrace>& trace,
                   const TraceLaneArea& area);
