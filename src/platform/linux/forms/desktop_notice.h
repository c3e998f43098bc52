#pragma once

#include <QString>

namespace lumivo {

// Tells the user something that needs no answer, without waiting for one: a desktop
// notification where the session has a notification server, else a box titled "Lumivo" that
// stays until closed. Returns at once; nothing of the program waits on either.
void ShowNotice(const QString& text);

}  // namespace lumivo
