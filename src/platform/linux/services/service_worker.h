#pragma once

#include <QObject>
#include <QThread>

#include <functional>

namespace lumivo {

// One thread for the slow requests to the system (drive doors, UDisks2, NetworkManager): they
// run there one at a time, in the order they were posted, so the GUI thread never waits for a
// drive or a service, and what each one found is handed back to the GUI thread.
class ServiceWorker {
 public:
  // What a job leaves for the GUI thread to do; empty for nothing.
  using Outcome = std::function<void()>;
  using Job = std::function<Outcome()>;

  ServiceWorker();
  ~ServiceWorker();
  ServiceWorker(const ServiceWorker&) = delete;
  ServiceWorker& operator=(const ServiceWorker&) = delete;

  void Post(Job job);
  // From the worker thread: what the GUI thread is to do, in the order handed.
  void HandBack(Outcome outcome);
  // An object of the worker thread: what is connected to it runs there.
  QObject* Context() const { return context_; }

 private:
  QThread thread_;
  QObject* context_;  // deleted when the thread finishes
  QObject guiContext_;
};

}  // namespace lumivo
