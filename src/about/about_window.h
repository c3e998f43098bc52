#pragma once

#include <string_view>

#include "platform/form.h"
#include "platform/windows_services.h"

namespace lumivo {

inline constexpr std::u16string_view kMakerHomePage = u"http://www.norbek.example/";
inline constexpr std::u16string_view kMakerEmail = u"norbek@norbek.example";

// The About window: the splash at start, and what the menu's About item shows. The upper
// panel closes it; the web and mail lines open the maker's home page and a mail to the maker.
class AboutWindow final : public Form {
 public:
  AboutWindow(WindowsServices& services, FormRuntime& runtime);

 private:
  void OnLoad() override;
  void OnClick(int control) override;
  void OpenLink(std::u16string_view url);

  WindowsServices& services_;
};

}  // namespace lumivo
