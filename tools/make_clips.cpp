// make_clips: writes the program's clip files into a directory.
//
//   make_clips OUTPUT_DIR
//
// The cursor pictures of the grid test (16-MNR.avi, 5-MNR.avi, 4-MNR.avi,
// 3-Sty.AVI, 4-Zelta.avi) and the logo animation of the please-wait window
// (PRX_Logo.avi), every frame drawn by clip_art.cpp.  The files are AVI
// clips whose frames are PNG pictures (lossless, each frame on its own),
// written with FFmpeg's libavformat and libavcodec.  Each file is written
// under a temporary name and renamed, so an interrupted run leaves no half
// clip behind.  Exit status 0 when all were written, 1 otherwise.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
}

#include "clip_art.h"

namespace {

using stylomat::clips::Clip_Plan;
using stylomat::clips::Frame;

std::string Av_Error(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

struct Output_Closer {
  void operator()(AVFormatContext* f) const {
    if (f->pb) avio_closep(&f->pb);
    avformat_free_context(f);
  }
};
struct Codec_Freer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct Frame_Freer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct Packet_Freer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

Frame Draw(const Clip_Plan& plan, int i) {
  if (plan.logo) return stylomat::clips::Draw_Logo(i, plan.frames, plan.width, plan.height);
  return stylomat::clips::Draw_Cursor(plan.cursor, i, plan.width, plan.height);
}

// Sends one frame (or, with nullptr, the end) to the encoder and writes
// what it gives back.
bool Encode(AVFormatContext* out, AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string& error) {
  int ret = avcodec_send_frame(codec, frame);
  if (ret < 0) {
    error = "encoding failed: " + Av_Error(ret);
    return false;
  }
  std::unique_ptr<AVPacket, Packet_Freer> packet(av_packet_alloc());
  for (;;) {
    ret = avcodec_receive_packet(codec, packet.get());
    if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return true;
    if (ret < 0) {
      error = "encoding failed: " + Av_Error(ret);
      return false;
    }
    av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
    packet->stream_index = stream->index;
    ret = av_interleaved_write_frame(out, packet.get());
    if (ret < 0) {
      error = "writing failed: " + Av_Error(ret);
      return false;
    }
  }
}

bool Write_Clip(const Clip_Plan& plan, const std::string& path, std::string& error) {
  const AVCodec* png = avcodec_find_encoder(AV_CODEC_ID_PNG);
  if (!png) {
    error = "this FFmpeg has no PNG encoder";
    return false;
  }
  AVFormatContext* raw = nullptr;
  int ret = avformat_alloc_output_context2(&raw, nullptr, "avi", path.c_str());
  if (ret < 0 || !raw) {
    error = "no AVI writer: " + Av_Error(ret);
    return false;
  }
  std::unique_ptr<AVFormatContext, Output_Closer> out(raw);
  AVStream* stream = avformat_new_stream(out.get(), nullptr);
  std::unique_ptr<AVCodecContext, Codec_Freer> codec(avcodec_alloc_context3(png));
  std::unique_ptr<AVFrame, Frame_Freer> frame(av_frame_alloc());
  if (!stream || !codec || !frame) {
    error = "out of memory";
    return false;
  }
  codec->width = plan.width;
  codec->height = plan.height;
  codec->pix_fmt = AV_PIX_FMT_RGB24;
  codec->time_base = AVRational{1, plan.fps};
  codec->framerate = AVRational{plan.fps, 1};
  codec->gop_size = 1;
  if (out->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if ((ret = avcodec_open2(codec.get(), png, nullptr)) < 0) {
    error = "the PNG encoder refused: " + Av_Error(ret);
    return false;
  }
  stream->time_base = codec->time_base;
  stream->avg_frame_rate = codec->framerate;
  if ((ret = avcodec_parameters_from_context(stream->codecpar, codec.get())) < 0 ||
      (ret = avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0 ||
      (ret = avformat_write_header(out.get(), nullptr)) < 0) {
    error = "cannot start " + path + ": " + Av_Error(ret);
    return false;
  }
  frame->format = AV_PIX_FMT_RGB24;
  frame->width = plan.width;
  frame->height = plan.height;
  if ((ret = av_frame_get_buffer(frame.get(), 0)) < 0) {
    error = "out of memory: " + Av_Error(ret);
    return false;
  }
  for (int i = 0; i < plan.frames; ++i) {
    if ((ret = av_frame_make_writable(frame.get())) < 0) {
      error = "frame buffer: " + Av_Error(ret);
      return false;
    }
    const Frame picture = Draw(plan, i);
    const std::size_t row = static_cast<std::size_t>(plan.width) * 3;
    for (int y = 0; y < plan.height; ++y) {
      std::copy_n(picture.rgb.data() + static_cast<std::size_t>(y) * row, row, frame->data[0] + y * frame->linesize[0]);
    }
    frame->pts = i;
    if (!Encode(out.get(), codec.get(), stream, frame.get(), error)) return false;
  }
  if (!Encode(out.get(), codec.get(), stream, nullptr, error)) return false;
  if ((ret = av_write_trailer(out.get())) < 0) {
    error = "cannot finish " + path + ": " + Av_Error(ret);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_clips OUTPUT_DIR\n";
    return 2;
  }
  av_log_set_level(AV_LOG_ERROR);
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  int failures = 0;
  for (const Clip_Plan& plan : stylomat::clips::All_Clips()) {
    const std::filesystem::path final_path = dir / plan.file;
    const std::filesystem::path temporary = dir / (plan.file + ".part.avi");
    std::string error;
    if (!Write_Clip(plan, temporary.string(), error)) {
      std::cerr << "make_clips: " << plan.file << ": " << error << "\n";
      std::filesystem::remove(temporary, ec);
      ++failures;
      continue;
    }
    std::filesystem::rename(temporary, final_path, ec);
    if (ec) {
      std::cerr << "make_clips: " << plan.file << ": " << ec.message() << "\n";
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
