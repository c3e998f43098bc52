#include "platform/linux/services/service_worker.h"

namespace lumivo {

ServiceWorker::ServiceWorker() : context_(new QObject) {
  context_->moveToThread(&thread_);
  QObject::connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
  thread_.start();
}

// A job under way is waited for; the program itself ends without this.
ServiceWorker::~ServiceWorker() {
  thread_.quit();
  thread_.wait();
}

// Queued calls to one object from one thread arrive in the order they were made.
void ServiceWorker::Post(Job job) {
  QMetaObject::invokeMethod(
      context_,
      [this, job = std::move(job)] {
        if (Outcome outcome = job()) HandBack(std::move(outcome));
      },
      Qt::QueuedConnection);
}

void ServiceWorker::HandBack(Outcome outcome) {
  QMetaObject::invokeMethod(&guiContext_, std::move(outcome), Qt::QueuedConnection);
}

}  // namespace lumivo
