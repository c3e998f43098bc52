#pragma once

#include <QObject>

namespace lumivo {

// For owners of Qt objects: the object goes when the event loop next runs, not at once, since
// it may be the one whose event or signal is being handled (a form unloaded from a click on
// its own picture).
struct DeleteLater {
  void operator()(QObject* object) const { object->deleteLater(); }
};

}  // namespace lumivo
