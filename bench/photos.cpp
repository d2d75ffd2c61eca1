// Showing a 12-megapixel photo in the input form's photo box: decoded at the
// decoder's reduced DCT scale, kept as "tmp.bmp", turned and fitted to the
// box, as choosing a picture does. Beside it, in the same run, libjpeg-turbo's
// djpeg at scale 1/8 on the same file. Target: the median at most 1.3 times
// djpeg's. The JPEG is made here, at run time; nothing large is committed.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Require.h"
#include "input/PhotoState.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/FileOps.h"

extern char** environ;

namespace {

// A photo-like test picture: gradients with some texture, so the encoder
// produces a realistic amount of coefficients.
bool WriteJpeg(const std::string& path, int w, int h) {
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) return false;
  jpeg_compress_struct ci;
  jpeg_error_mgr err;
  ci.err = jpeg_std_error(&err);
  jpeg_create_compress(&ci);
  jpeg_stdio_dest(&ci, fp);
  ci.image_width = static_cast<JDIMENSION>(w);
  ci.image_height = static_cast<JDIMENSION>(h);
  ci.input_components = 3;
  ci.in_color_space = JCS_RGB;
  jpeg_set_defaults(&ci);
  jpeg_set_quality(&ci, 90, TRUE);
  jpeg_start_compress(&ci, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(w) * 3);
  uint32_t seed = 12345;
  while (ci.next_scanline < ci.image_height) {
    const int y = static_cast<int>(ci.next_scanline);
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int noise = static_cast<int>((seed >> 16) & 31) - 16;
      row[x * 3] = static_cast<JSAMPLE>(std::clamp(x * 255 / w + noise, 0, 255));
      row[x * 3 + 1] = static_cast<JSAMPLE>(std::clamp(y * 255 / h + noise, 0, 255));
      row[x * 3 + 2] = static_cast<JSAMPLE>(std::clamp(((x / 40 + y / 40) % 2) * 120 + 60 + noise, 0, 255));
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&ci, &p, 1);
  }
  jpeg_finish_compress(&ci);
  jpeg_destroy_compress(&ci);
  return std::fclose(fp) == 0;
}

struct Fixture {
  std::string dir;
  std::string jpeg;
  Fixture() {
    char tmpl[] = "/tmp/bench_photos_XXXXXX";
    dir = mkdtemp(tmpl);
    bench::Require(fileops::MakeDirs(dir + "/写真"), "MakeDirs");
    jpeg = dir + "/写真/photo.jpg";
    WriteJpeg(jpeg, 4000, 3000);
  }
  ~Fixture() { (void)fileops::RemoveTree(dir); }
};

Fixture& TheFixture() {
  static Fixture f;
  return f;
}

void BM_ShowPhotoInTheForm(benchmark::State& state) {
  Fixture& f = TheFixture();
  FixedClock clock;
  PhotoCounter counter;
  PhotoState photo(clock, counter);
  photo.SetDivisionFolder(f.dir + "/book/");
  bench::Require(fileops::MakeDirs(f.dir + "/book"), "MakeDirs");
  photo.SetBox(true, 128, 128);
  const std::string path = cp932::FromUtf8(f.jpeg);
  for (auto _ : state) {
    // no thumbnail yet: the picture is converted, turned a quarter and fitted
    photo.ShowPhoto(path, "      B");
    if (photo.Bitmap().Width() == 0) state.SkipWithError("the picture was not shown");
    benchmark::DoNotOptimize(photo.Bitmap().Dib().data());
  }
}
BENCHMARK(BM_ShowPhotoInTheForm)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();

void BM_DjpegScaleEighth(benchmark::State& state) {
  Fixture& f = TheFixture();
  const std::string out = f.dir + "/djpeg.bmp";
  std::vector<std::string> args = {"djpeg", "-scale", "1/8", "-bmp", "-outfile", out, f.jpeg};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto _ : state) {
    pid_t pid;
    if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("djpeg not found (libjpeg-turbo-progs)");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("djpeg failed");
  }
}
BENCHMARK(BM_DjpegScaleEighth)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly();

}  // namespace

BENCHMARK_MAIN();
