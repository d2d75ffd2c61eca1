// The desktop's notifications (the bubble beside the tray), so an alarm is
// seen while the window is hidden or covered. Texts are CP932.
#pragma once
#include <string>
#include <vector>

class Notifier {
 public:
  virtual ~Notifier() = default;
  // Sends and returns at once; a desktop without a notification service
  // shows nothing and reports nothing.
  virtual void Notify(const std::string& title, const std::string& body) = 0;
};

class RecordingNotifier : public Notifier {
 public:
  void Notify(const std::string& title, const std::string& body) override { sent.push_back({title, body}); }
  std::vector<std::pair<std::string, std::string>> sent;
};
