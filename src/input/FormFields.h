// How calculations and selection lists reach the input form's text editors:
// by slot (0-19, the editor of field DATnnn is slot nnn - 1), never through
// widgets, so the form model, the command-line tool and tests can all stand
// behind it. Texts are CP932.
#pragma once
#include <functional>
#include <map>
#include <string>

class FormFields {
 public:
  virtual ~FormFields() = default;
  // The text of text editor `slot`; "" for a slot the form does not show.
  virtual std::string Text(int slot) const = 0;
  virtual void SetText(int slot, const std::string& text) = 0;
};

// FormFields over two functions, for callers that keep their values elsewhere.
class FunctionFields : public FormFields {
 public:
  using Getter = std::function<std::string(int slot)>;
  using Setter = std::function<void(int slot, const std::string& text)>;
  FunctionFields(Getter get, Setter set) : get_(std::move(get)), set_(std::move(set)) {}
  std::string Text(int slot) const override { return get_ ? get_(slot) : std::string(); }
  void SetText(int slot, const std::string& text) override {
    if (set_) set_(slot, text);
  }

 private:
  Getter get_;
  Setter set_;
};

// FormFields held in a map: the command-line tool and tests.
class MapFields : public FormFields {
 public:
  std::string Text(int slot) const override {
    auto it = values.find(slot);
    return it == values.end() ? std::string() : it->second;
  }
  void SetText(int slot, const std::string& text) override { values[slot] = text; }
  std::map<int, std::string> values;
};
