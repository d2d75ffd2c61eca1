// Desktop notifications over the session bus (org.freedesktop.Notifications).
#pragma once
#include "platform/Notifier.h"

class QtNotifier : public Notifier {
 public:
  // Sent without waiting for an answer: a desktop without the service, or
  // without a session bus at all, shows nothing and holds nothing up.
  void Notify(const std::string& title, const std::string& body) override;
};
