#include "shell/qtim_movie.h"
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace {
constexpr int k_time_scale = 600;
constexpr int k_io_buffer = 64 * 1024;
}  // namespace

struct mov_file {
  std::string path;
  int fd = -1;
  int width = 0, height = 0;
  AVFormatContext* fmt = nullptr;
  AVIOContext* io = nullptr;
  AVCodecContext* enc = nullptr;
  AVStream* stream = nullptr;
  SwsContext* sws = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;  // the compression buffer every frame is encoded into
  int64_t next_pts = 0;        // where the next sample starts, in 1/600 s
  int header_written = 0;
};

// The file is written through our own descriptor rather than FFmpeg's file
// protocol, so every write and the final close are checked here.
static int write_cb(void* opaque, uint8_t* buf, int size) {
  mov_file* m = static_cast<mov_file*>(opaque);
  int done = 0;
  while (done < size) {
    const ssize_t n = write(m->fd, buf + done, (size_t)(size - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return AVERROR(errno);
    }
    if (n == 0) return AVERROR(EIO);
    done += (int)n;
  }
  return size;
}

static int64_t seek_cb(void* opaque, int64_t offset, int whence) {
  mov_file* m = static_cast<mov_file*>(opaque);
  if (whence & AVSEEK_SIZE) {
    struct stat st;
    return fstat(m->fd, &st) == 0 ? (int64_t)st.st_size : AVERROR(errno);
  }
  const off_t at = lseek(m->fd, (off_t)offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(errno) : (int64_t)at;
}

int MOV_available() {
  return avcodec_find_encoder(AV_CODEC_ID_MJPEG) && av_guess_format("mov", nullptr, nullptr) ? 1 : 0;
}

std::string MOV_versions() {
  auto v = [](const char* name, unsigned n) {
    return std::string(name) + " " + std::to_string(n >> 16) + "." + std::to_string((n >> 8) & 0xff) + "." +
           std::to_string(n & 0xff);
  };
  return v("libavformat", avformat_version()) + ", " + v("libavcodec", avcodec_version());
}

int MOV_sample_units(float seconds) {
  const double units = std::trunc((double)seconds * k_time_scale);
  return (int)std::clamp(units, 1.0, 60.0);
}

// Frees everything the movie holds; the descriptor is closed by the caller.
static void release(mov_file* m) {
  sws_freeContext(m->sws);
  av_frame_free(&m->frame);
  av_packet_free(&m->packet);
  avcodec_free_context(&m->enc);
  if (m->fmt) {
    m->fmt->pb = nullptr;  // ours, freed below
    avformat_free_context(m->fmt);
    m->fmt = nullptr;
  }
  if (m->io) {
    av_freep(&m->io->buffer);
    avio_context_free(&m->io);
  }
}

// A movie that failed part-way: nothing is kept, the file least of all.
static void discard(mov_file* m) {
  release(m);
  if (m->fd >= 0) close(m->fd);
  unlink(m->path.c_str());
  delete m;
}

static int open_encoder(mov_file* m) {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
  if (!codec) return AVERROR_ENCODER_NOT_FOUND;
  m->enc = avcodec_alloc_context3(codec);
  if (!m->enc) return AVERROR(ENOMEM);
  AVCodecContext* c = m->enc;
  c->width = m->width;
  c->height = m->height;
  c->pix_fmt = AV_PIX_FMT_YUV420P;
  c->color_range = AVCOL_RANGE_JPEG;
  c->time_base = AVRational{1, k_time_scale};
  // The recorder thread is the parallelism; the encoder starts none of its own.
  c->thread_count = 1;
  c->flags |= AV_CODEC_FLAG_QSCALE;
  c->global_quality = FF_QP2LAMBDA * mov_jpeg_qscale;
  if (m->fmt->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int err = avcodec_open2(c, codec, nullptr);
  if (err < 0) return err;

  m->sws = sws_getContext(m->width, m->height, AV_PIX_FMT_BGRA, m->width, m->height, AV_PIX_FMT_YUV420P,
                          SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  if (!m->sws) return AVERROR(EINVAL);
  const int* bt601 = sws_getCoefficients(SWS_CS_ITU601);
  sws_setColorspaceDetails(m->sws, bt601, 1, bt601, 1, 0, 1 << 16, 1 << 16);
  m->frame = av_frame_alloc();
  m->packet = av_packet_alloc();
  if (!m->frame || !m->packet) return AVERROR(ENOMEM);
  m->frame->format = c->pix_fmt;
  m->frame->width = m->width;
  m->frame->height = m->height;
  m->frame->color_range = AVCOL_RANGE_JPEG;
  return av_frame_get_buffer(m->frame, 0);
}

int MOV_create(const std::string& path, int width, int height, mov_file** out, mov_step* failed) {
  *out = nullptr;
  mov_file* m = new mov_file;
  m->path = path;
  m->width = width;
  m->height = height;
  auto fail = [&](mov_step step, int err) {
    *failed = step;
    discard(m);
    return err;
  };
  if (width < 1 || height < 1) return fail(mov_step_create, AVERROR(EINVAL));

  unlink(path.c_str());
  m->fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (m->fd < 0) {
    const int err = AVERROR(errno);
    m->fd = -1;
    *failed = mov_step_create;
    delete m;  // nothing was made, so nothing is removed
    return err;
  }
  int err = avformat_alloc_output_context2(&m->fmt, nullptr, "mov", nullptr);
  if (err < 0) return fail(mov_step_create, err);
  unsigned char* buf = static_cast<unsigned char*>(av_malloc(k_io_buffer));
  if (buf) m->io = avio_alloc_context(buf, k_io_buffer, 1, m, nullptr, write_cb, seek_cb);
  if (!m->io) {
    av_free(buf);
    return fail(mov_step_create, AVERROR(ENOMEM));
  }
  m->fmt->pb = m->io;

  err = open_encoder(m);
  if (err < 0) return fail(mov_step_encoder, err);

  m->stream = avformat_new_stream(m->fmt, nullptr);
  if (!m->stream) return fail(mov_step_header, AVERROR(ENOMEM));
  err = avcodec_parameters_from_context(m->stream->codecpar, m->enc);
  if (err < 0) return fail(mov_step_header, err);
  m->stream->codecpar->codec_tag = MKTAG('j', 'p', 'e', 'g');
  m->stream->time_base = AVRational{1, k_time_scale};
  // Without this the muxer raises any video time scale below 10000.
  AVDictionary* opts = nullptr;
  av_dict_set(&opts, "video_track_timescale", "600", 0);
  err = avformat_write_header(m->fmt, &opts);
  av_dict_free(&opts);
  if (err >= 0) {
    avio_flush(m->io);
    err = m->io->error;
  }
  if (err < 0) return fail(mov_step_header, err);
  m->header_written = 1;
  *out = m;
  return 0;
}

// Writes every packet the encoder has ready; step names the failure.
static int drain(mov_file* m, int units, mov_step step, mov_step* failed) {
  for (;;) {
    int err = avcodec_receive_packet(m->enc, m->packet);
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return 0;
    if (err < 0) {
      *failed = step;
      return err;
    }
    m->packet->stream_index = m->stream->index;
    m->packet->pts = m->packet->dts = m->next_pts;
    m->packet->duration = units;
    av_packet_rescale_ts(m->packet, AVRational{1, k_time_scale}, m->stream->time_base);
    m->next_pts += units;
    err = av_write_frame(m->fmt, m->packet);
    av_packet_unref(m->packet);
    // Each sample reaches the file before the next frame, so a failing
    // write is told at the frame it hit.
    if (err >= 0) {
      avio_flush(m->io);
      err = m->io->error;
    }
    if (err < 0) {
      *failed = step == mov_step_encode ? mov_step_sample : step;
      return err;
    }
  }
}

int MOV_add_frame(mov_file* m, const uint8_t* bgra, float seconds, mov_step* failed) {
  if (!m->packet) {
    *failed = mov_step_no_buffer;
    return AVERROR(EINVAL);
  }
  int err = av_frame_make_writable(m->frame);
  if (err < 0) {
    *failed = mov_step_encode;
    return err;
  }
  const uint8_t* src[1] = {bgra};
  const int stride[1] = {m->width * 4};
  if (sws_scale(m->sws, src, stride, 0, m->height, m->frame->data, m->frame->linesize) != m->height) {
    *failed = mov_step_encode;
    return AVERROR(EINVAL);
  }
  m->frame->pts = m->next_pts;
  m->frame->quality = m->enc->global_quality;
  err = avcodec_send_frame(m->enc, m->frame);
  if (err < 0) {
    *failed = mov_step_encode;
    return err;
  }
  return drain(m, MOV_sample_units(seconds), mov_step_encode, failed);
}

int MOV_finish(mov_file* m, mov_step* failed) {
  int first = 0;
  auto note = [&](mov_step step, int err) {
    if (err < 0 && first == 0) {
      first = err;
      *failed = step;
    }
  };
  // Motion-JPEG keeps no frames back, but the encoder is drained all the same.
  int err = avcodec_send_frame(m->enc, nullptr);
  if (err < 0 && err != AVERROR_EOF) note(mov_step_flush, err);
  mov_step step = mov_step_none;
  if (first == 0 && (err = drain(m, 1, mov_step_flush, &step)) < 0) note(step, err);
  if (first == 0) {
    err = av_write_trailer(m->fmt);
    if (err >= 0) {
      avio_flush(m->io);
      err = m->io->error;
    }
    note(mov_step_trailer, err);
  }
  release(m);
  const int fd = m->fd;
  m->fd = -1;
  if (close(fd) != 0) note(mov_step_close, AVERROR(errno));
  if (first < 0) unlink(m->path.c_str());
  delete m;
  return first;
}
