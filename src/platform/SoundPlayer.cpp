#include "platform/SoundPlayer.h"

#include <canberra.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/Cp932.h"

namespace wavfile {

Check Inspect(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return kMissing;
  if (S_ISDIR(st.st_mode)) return kFolder;
  if (!S_ISREG(st.st_mode)) return kNotWav;  // a device or a pipe would block the reader
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (!fp) return kNotWav;
  unsigned char head[12] = {};
  const size_t n = std::fread(head, 1, sizeof head, fp);
  std::fclose(fp);
  if (n != sizeof head || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
    return kNotWav;
  return kWav;
}

std::string Why(Check c) {
  switch (c) {
    case kWav:
      return {};
    case kMissing:
      return cp932::FromUtf8("サウンドファイルが見付かりません");
    case kFolder:
      return cp932::FromUtf8("サウンドファイルではなくフォルダーです");
    case kNotWav:
      break;
  }
  return cp932::FromUtf8("サウンドファイルが WAV 形式ではありません");
}

}  // namespace wavfile

struct CanberraPlayer::Context {
  ca_context* ca = nullptr;
};

CanberraPlayer::CanberraPlayer() = default;

CanberraPlayer::~CanberraPlayer() {
  if (ctx_) {
    if (ctx_->ca) ca_context_destroy(ctx_->ca);
    delete ctx_;
  }
}

bool CanberraPlayer::Play(const std::string& path, std::string& why) {
  const wavfile::Check c = wavfile::Inspect(path);
  if (c != wavfile::kWav) {
    why = wavfile::Why(c);
    return false;
  }
  if (failed_) {
    why = cp932::FromUtf8("音を鳴らせません（サウンドサーバーがありません）");
    return false;
  }
  if (!ctx_) {
    ctx_ = new Context;
    if (ca_context_create(&ctx_->ca) != CA_SUCCESS ||
        ca_context_change_props(ctx_->ca, CA_PROP_APPLICATION_NAME, "jotbox", nullptr) != CA_SUCCESS ||
        ca_context_open(ctx_->ca) != CA_SUCCESS) {
      failed_ = true;
      why = cp932::FromUtf8("音を鳴らせません（サウンドサーバーがありません）");
      return false;
    }
  }
  // the library plays on its own thread: this returns at once
  const int rc = ca_context_play(ctx_->ca, 0, CA_PROP_MEDIA_FILENAME, path.c_str(), CA_PROP_EVENT_DESCRIPTION,
                                 "alarm", nullptr);
  if (rc != CA_SUCCESS) {
    why = cp932::FromUtf8("音を鳴らせません（") + ca_strerror(rc) + "）"_sj;
    return false;
  }
  return true;
}
