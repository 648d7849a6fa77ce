// The match game as a player meets it, measured headless on a program
// session of the same screen: the camera, its case, the album, the grid of
// points the target's checkered hint paints, and every one-step drawing a
// target can be (each start shape with each manipulator) with the grid
// points it covers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/geometry.h"

class Program_Session;

struct Safari_Layout {
  bool safari_plays = false;
  TPoint camera;
  TRect camera_box, album;
  TPoint picture_origin;  // the drawing's picture on the screen
  std::vector<TPoint> grid;
  struct Candidate {
    TPoint shape, manipulator;
    std::vector<bool> covered;
    std::vector<uint32_t> pixels;  // the screen's pixels of the kept area
  };
  std::vector<Candidate> candidates;

  // The candidate whose covered points agree best with the points hinted.
  const Candidate* Best_Match(const std::vector<bool>& hinted) const;
};

// Measures as player at level; keep, if given, is an area of the screen
// each candidate's drawing is kept of.
Safari_Layout Measure_Safari(Program_Session& program, const std::string& player, int32_t level,
                             const TRect* keep = nullptr);
