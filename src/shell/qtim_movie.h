// One QuickTime-format movie file being written: a single Motion-JPEG video
// track (codec tag 'jpeg') whose media time scale is 600, one sample per
// frame. Written with FFmpeg's libraries; each call says which step failed,
// named for the movie-toolbox step it plays the role of, so the recorder can
// tell the user in the words it always has. A movie is used by one thread at
// a time.
#pragma once
#include <cstdint>
#include <string>

struct mov_file;

// The step a call failed at.
enum mov_step : int {
  mov_step_none = 0,
  mov_step_create,     // creating the file ("CreateMovieFile")
  mov_step_header,     // writing the file's header ("BeginMediaEdits")
  mov_step_encoder,    // opening the encoder ("CompressSequenceBegin")
  mov_step_encode,     // encoding a frame ("CompressSequenceFrame")
  mov_step_sample,     // writing a frame's sample ("AddMediaSample")
  mov_step_no_buffer,  // the movie has no packet buffer to encode into
  mov_step_flush,      // draining the encoder ("EndMediaEdits")
  mov_step_trailer,    // writing the sample tables ("InsertMediaIntoTrack")
  mov_step_close,      // closing the file ("AddMovieResource")
};

// The fixed JPEG quantiser that the toolbox's normal quality (512) becomes.
enum : int { mov_jpeg_qscale = 3 };

// 1 when FFmpeg has both the Motion-JPEG encoder and the "mov" muxer.
int MOV_available();
// The libraries' versions, "libavformat 59.27.100, libavcodec 59.37.100".
std::string MOV_versions();

// Creates the file at path (replacing one of that name) for width x height
// frames and writes its header. Returns 0 with *out set, else FFmpeg's
// (negative) error number with *failed set, nothing left open and no file.
int MOV_create(const std::string& path, int width, int height, mov_file** out, mov_step* failed);
// Appends one frame of width x height BGRA pixels, rows top-down, as one
// sample of trunc(seconds x 600) units held to 1..60. Returns 0 or FFmpeg's
// error number with *failed set.
int MOV_add_frame(mov_file* movie, const uint8_t* bgra, float seconds, mov_step* failed);
// Drains the encoder, writes the sample tables and closes the file; frees the
// movie either way. Returns 0, or FFmpeg's error number with *failed set, and
// then removes the file: a movie cut short is never left to pass as written.
int MOV_finish(mov_file* movie, mov_step* failed);

// Sample duration in units of 1/600 s for a frame standing for seconds.
int MOV_sample_units(float seconds);
