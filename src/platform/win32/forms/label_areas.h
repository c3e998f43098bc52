#pragma once

#include "platform/win32/windows_api.h"

#include <vector>

namespace lumivo {

// The windowless labels on a picture box: rectangles in its client area that take clicks and
// choose the mouse pointer.
class LabelAreas {
 public:
  struct Area {
    int id;
    RECT bounds;
    HCURSOR cursor;
  };

  void Add(const Area& area) { areas_.push_back(area); }
  // Where labels overlap, the one added first wins.
  const Area* Find(POINT point) const {
    for (const Area& area : areas_) {
      if (::PtInRect(&area.bounds, point)) return &area;
    }
    return nullptr;
  }

 private:
  std::vector<Area> areas_;
};

}  // namespace lumivo
