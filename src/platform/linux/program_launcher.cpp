#include "platform/linux/program_launcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include "platform/linux/command_lines.h"
#include "platform/linux/drive_folders.h"
#include "platform/linux/network_connections.h"

namespace lumivo {
namespace {

// Installed, /usr/share/lumivo beside /usr/bin; in the build tree, beside the program.
QString InstructionsFile() {
  const QString programFolder = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {programFolder + QStringLiteral("/../share/lumivo/lumivo.txt"),
                                   programFolder + QStringLiteral("/lumivo.txt")}) {
    if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
  }
  return {};
}

bool OpenInTextEditor(const QString& file) {
  return !file.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

struct Carrier {
  bool operator()(NoLinuxEquivalent) const { return false; }
  bool operator()(const BrowseDrive& browse) const { return OpenDriveFolder(browse.letter); }
  bool operator()(const BringUpConnection& dial) const {
    return BringUpNetworkConnection(dial.name);
  }
  bool operator()(OpenInstructions) const { return OpenInTextEditor(InstructionsFile()); }
};

}  // namespace

std::optional<std::uint32_t> RunCommandLine(std::u16string_view commandLine) {
  if (!std::visit(Carrier{}, TranslateCommandLine(commandLine))) return std::nullopt;
  return 0;
}

}  // namespace lumivo
