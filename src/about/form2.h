#pragma once

#include <string_view>

#include "platform/form.h"
#include "platform/windows_services.h"

namespace lumivo {

inline constexpr std::u16string_view kMakerHomePage = u"http://www.norbek.example/";
inline constexpr std::u16string_view kMakerEmail = u"norbek@norbek.example";

// The About window: the splash at start, and what the menu's About item shows.
class Form2 final : public Form {
 public:
  enum Control : int { Picture1 = 1, Label3, Label2, Label1 };
  static const FormLayout kLayout;

  Form2(WindowsServices& services, FormRuntime& runtime);

  void Label1_Click();
  void Label2_Click();
  void Label3_Click();

 protected:
  void Form_Load() override;

 private:
  void OnClick(int control) override;
  void OpenLink(std::u16string_view url);

  WindowsServices& services_;
};

}  // namespace lumivo
