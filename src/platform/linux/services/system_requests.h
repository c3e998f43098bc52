#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "platform/linux/services/door_command.h"
#include "platform/linux/services/door_watch.h"
#include "platform/linux/services/drive_list.h"
#include "platform/linux/services/service_worker.h"

namespace lumivo {

// The program's requests to the drives and to NetworkManager, made on the service worker in
// the order the GUI thread asks for them. Each returns at once; what goes wrong is told to the
// user afterwards, in the program's voice, through the reporter (on the GUI thread).
class SystemRequests {
 public:
  using Reporter = std::function<void(const std::u16string& message)>;
  using DoorListener = std::function<void(DoorState state)>;

  explicit SystemRequests(Reporter reporter);

  // Unmounts the disc's filesystems before opening; a drive that does not exist is passed over
  // in silence, as MCI does. A move asked for again before the last one began is the same.
  void MoveDoor(DoorMove move);
  // Opens the folder of the disc in that drive (D: for the first) in the file manager,
  // mounting it first when needed.
  void BrowseDrive(char letter);
  // Brings up NetworkManager's connection of that name (UTF-8).
  void BringUpConnection(const std::string& name);

  std::size_t OpticalDriveCount() const { return drives_->Count(); }
  // The device whose door MoveDoor moves, as the drive list has it now; nothing for none.
  std::optional<std::string> LampDevice() const;

  // Watches the tray of the drive whose door MoveDoor moves, from now on: each new
  // state read goes to the listener on the GUI thread. A state read before a move that
  // was asked for had begun is not told; after each move the next one is.
  void WatchDoor(DoorListener listener);

 private:
  // On the worker thread.
  void OnDoorRead(DoorState state);
  void Report(const std::u16string& message);
  ServiceWorker::Outcome ReportLater(std::u16string message);

  Reporter reporter_;
  // Door moves posted and begun, counted, to merge a repeated move not yet begun.
  std::uint64_t doorMovesPosted_ = 0;
  std::atomic<std::uint64_t> doorMovesBegun_{0};
  DoorMove lastDoorMove_ = DoorMove::Close;
  ServiceWorker worker_;
  DriveList* drives_;     // a child of the worker's context
  DoorWatch* doorWatch_;  // likewise
  DoorListener doorListener_;
  // Messages on screen: the same one is not stacked again while it is open.
  std::set<std::u16string> shown_;
};

}  // namespace lumivo
