// SPDX-License-Identifier: GPL-3.0-or-later
// The film of a moving menu page as a DVD MPEG-2 program stream: pictures handed over one
// by one, the sound given whole at the start and encoded in the disc's sound format. The
// file appears under its name only when it was written whole.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/rgb_image.h"
#include "convert/encoder_preset.h"

namespace vantrel {

// What a moving menu costs on the disc at most, a second of it: the pictures' peak rate and the sound.
inline constexpr std::int64_t kMenuFilmVideoMaxRate = 8000000;
inline constexpr std::int64_t kMenuFilmVideoRate = 5000000;
inline constexpr std::int64_t kMenuFilmSoundRate = 192000;

struct MenuFilmFormat {
  bool ntsc = false;
  AudioCodec sound = AudioCodec::Mp2;
  int threads = 0;  // the encoder's threads; 0: as many as the machine has
};

class MenuMovieWriter {
 public:
  MenuMovieWriter();
  ~MenuMovieWriter();  // an unfinished film leaves nothing behind
  MenuMovieWriter(const MenuMovieWriter&) = delete;
  MenuMovieWriter& operator=(const MenuMovieWriter&) = delete;

  // `sound`: interleaved 48 kHz stereo samples for the whole film. False with the reason.
  bool Open(const std::string& path, const MenuFilmFormat& format, std::vector<std::int16_t> sound,
            std::string& error);
  int Width() const { return 720; }
  int Height() const;
  double FrameRate() const;
  // One picture of the frame's size, with the sound up to its end.
  bool AddPicture(const RgbImage& picture, std::string& error);
  // The rest of the sound, the file's end, and the file under its name.
  bool Finish(std::string& error);

  struct Film;

 private:
  std::unique_ptr<Film> film_;
};

}  // namespace vantrel
