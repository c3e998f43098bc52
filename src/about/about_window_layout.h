#pragma once

#include "platform/form_layout.h"

namespace lumivo {

// The About window's controls: the picture and the three click areas laid over it.
enum class AboutControl : int { Picture = 1, UpperPanel, MailLine, WebLine };

constexpr int Id(AboutControl control) { return static_cast<int>(control); }

extern const FormLayout kAboutWindowLayout;

}  // namespace lumivo
