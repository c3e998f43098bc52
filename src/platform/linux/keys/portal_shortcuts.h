#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <set>

namespace lumivo {

// The hotkeys where the keyboard cannot be read from an X server (Wayland): bound
// through the XDG GlobalShortcuts portal, whose Activated and Deactivated signals stand for
// the key going down and up. The desktop shows the user the keys and their descriptions and
// may let them choose others. Where there is no portal, or the binding is refused, the user is
// told once that the hotkeys are unavailable, and why.
class PortalShortcuts final : public QObject {
  Q_OBJECT

 public:
  // Starts the binding; the portal answers later, without anything waiting for it. withoutX
  // says why the X server's keyboard is not read, for the notice.
  explicit PortalShortcuts(const QString& withoutX);

  // Whether the shortcut of that virtual key is held now.
  bool IsDown(std::int32_t virtualKey) const;

 private slots:
  void OnSessionCreated(uint response, const QVariantMap& results);
  void OnBound(uint response, const QVariantMap& results);
  // Activated and Deactivated: (session, shortcut id, timestamp, options).
  void OnActivated(const QDBusMessage& signal);
  void OnDeactivated(const QDBusMessage& signal);

 private:
  void Request(const QString& method, const QList<QVariant>& arguments, const QString& token,
               const char* onResponse);
  // Connects the slot to the Response of that request object; tells the user when it cannot.
  bool ListenForResponse(const QString& request, const char* onResponse);
  void Unavailable(const QString& why);
  // The virtual key of a shortcut signal of this program's session; 0 for any other.
  std::int32_t KeyOf(const QDBusMessage& signal) const;

  QString withoutX_;
  QString session_;
  std::set<std::int32_t> held_;
  bool told_ = false;
};

}  // namespace lumivo
