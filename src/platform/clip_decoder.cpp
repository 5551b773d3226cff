#include "platform/clip_decoder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#if STYLOMAT_HAVE_FFMPEG
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}
#include <mutex>
#endif

namespace stylomat {

namespace {

// The file itself: a regular file of a size the decoder will read.
bool Plain_File_Fits(const std::string& path, std::string& error) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec) || ec) {
    error = "no such file: " + path;
    return false;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > Clip_Decoder::Max_File_Bytes) {
    error = "the clip is larger than " + std::to_string(Clip_Decoder::Max_File_Bytes >> 20) + " MiB: " + path;
    return false;
  }
  return true;
}

}  // namespace

#if STYLOMAT_HAVE_FFMPEG

namespace {

struct Format_Closer {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct Codec_Freer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct Packet_Freer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct Frame_Freer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using Packet_Ptr = std::unique_ptr<AVPacket, Packet_Freer>;

constexpr std::int64_t Max_Packet_Bytes = 8 << 20;
constexpr double Default_Frame_Seconds = 1.0 / 15.0;

bool Codec_Allowed(AVCodecID id) {
  switch (id) {
    case AV_CODEC_ID_PNG:
    case AV_CODEC_ID_RAWVIDEO:
    case AV_CODEC_ID_MSRLE:
    case AV_CODEC_ID_MSVIDEO1:
    case AV_CODEC_ID_MJPEG:
    case AV_CODEC_ID_FFV1: return true;
    default: return false;
  }
}

std::string Av_Error(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// FFmpeg's own complaints about a damaged file would go to the terminal;
// the program says in its own words why a clip does not open.
void Quiet_Library() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

double Rate_Seconds(AVRational rate) {
  if (rate.num <= 0 || rate.den <= 0) return 0;
  return static_cast<double>(rate.den) / static_cast<double>(rate.num);
}

}  // namespace

struct Clip_Decoder::Impl {
  std::unique_ptr<AVCodecContext, Codec_Freer> codec;
  // One packet a frame, in order; an empty packet repeats the frame before.
  std::vector<Packet_Ptr> packets;
  std::unique_ptr<AVFrame, Frame_Freer> frame{av_frame_alloc()};
  SwsContext* scaler = nullptr;
  int width = 0;
  int height = 0;
  double frame_seconds = Default_Frame_Seconds;
  int fed = -1;  // the last packet given to the decoder, for decoding on from it

  ~Impl() { sws_freeContext(scaler); }

  bool Key(int i) const { return packets[static_cast<std::size_t>(i)]->size > 0 && (packets[static_cast<std::size_t>(i)]->flags & AV_PKT_FLAG_KEY); }
  bool Empty(int i) const { return packets[static_cast<std::size_t>(i)]->size == 0; }
  bool Feed(int i, bool& got);
  bool Convert(Clip_Image& out);
};

bool Clip_Decoder::Available() { return true; }

bool Clip_Decoder::Impl::Feed(int i, bool& got) {
  got = false;
  av_frame_unref(frame.get());
  int ret = avcodec_send_packet(codec.get(), packets[static_cast<std::size_t>(i)].get());
  if (ret < 0) return false;
  ret = avcodec_receive_frame(codec.get(), frame.get());
  if (ret == AVERROR(EAGAIN)) return true;
  if (ret < 0) return false;
  got = true;
  return true;
}

bool Clip_Decoder::Impl::Convert(Clip_Image& out) {
  const AVFrame& f = *frame;
  // A frame must have the size the clip declared.
  if (f.width != width || f.height != height || f.format < 0) return false;
  scaler = sws_getCachedContext(scaler, width, height, static_cast<AVPixelFormat>(f.format), width, height,
                                AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
  if (!scaler) return false;
  out.width = width;
  out.height = height;
  out.stride = (width * 3 + 3) & ~3;
  out.rgb.assign(static_cast<std::size_t>(out.stride) * static_cast<std::size_t>(height), 0);
  std::uint8_t* planes[4] = {out.rgb.data(), nullptr, nullptr, nullptr};
  int strides[4] = {out.stride, 0, 0, 0};
  return sws_scale(scaler, f.data, f.linesize, 0, height, planes, strides) == height;
}

std::unique_ptr<Clip_Decoder> Clip_Decoder::Open(const std::string& path, std::string& error) {
  if (!Plain_File_Fits(path, error)) return nullptr;
  Quiet_Library();
  // The AVI reader only, and only the file itself: no probing of other
  // formats, no other protocols.
  const AVInputFormat* avi = av_find_input_format("avi");
  if (!avi) {
    error = "this FFmpeg cannot read AVI files";
    return nullptr;
  }
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  AVFormatContext* raw_format = nullptr;
  const std::string url = "file:" + path;
  int ret = avformat_open_input(&raw_format, url.c_str(), avi, &options);
  av_dict_free(&options);
  if (ret < 0) {
    error = "not a clip (" + Av_Error(ret) + "): " + path;
    return nullptr;
  }
  std::unique_ptr<AVFormatContext, Format_Closer> format(raw_format);

  const int stream_index = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (stream_index < 0) {
    error = "the clip has no pictures: " + path;
    return nullptr;
  }
  const AVStream* stream = format->streams[stream_index];
  const AVCodecParameters* par = stream->codecpar;
  if (!Codec_Allowed(par->codec_id)) {
    error = std::string("the clip's pictures are coded as ") + avcodec_get_name(par->codec_id) +
            ", which the program does not read (it reads " + Allowed_Codecs + "): " + path;
    return nullptr;
  }
  if (par->width < 1 || par->height < 1 || par->width > Max_Side || par->height > Max_Side) {
    error = "the clip's pictures are " + std::to_string(par->width) + " x " + std::to_string(par->height) +
            " pixels (at most " + std::to_string(Max_Side) + " a side): " + path;
    return nullptr;
  }
  const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
  if (!decoder) {
    error = std::string("this FFmpeg has no ") + avcodec_get_name(par->codec_id) + " decoder: " + path;
    return nullptr;
  }

  auto impl = std::make_unique<Impl>();
  impl->codec.reset(avcodec_alloc_context3(decoder));
  if (!impl->codec || !impl->frame || avcodec_parameters_to_context(impl->codec.get(), par) < 0) {
    error = "out of memory opening " + path;
    return nullptr;
  }
  impl->codec->thread_count = 1;
  if ((ret = avcodec_open2(impl->codec.get(), decoder, nullptr)) < 0) {
    error = "the clip's decoder refused it (" + Av_Error(ret) + "): " + path;
    return nullptr;
  }
  impl->width = par->width;
  impl->height = par->height;
  double seconds = Rate_Seconds(stream->avg_frame_rate);
  if (seconds <= 0) seconds = Rate_Seconds(stream->r_frame_rate);
  if (seconds <= 0) seconds = Rate_Seconds(av_inv_q(stream->time_base));
  impl->frame_seconds = seconds > 0 ? std::clamp(seconds, 1.0 / 120.0, 2.0) : Default_Frame_Seconds;

  // The frame index: every packet of the picture stream, kept (the clips
  // are small and the total is bounded), so any frame decodes without
  // seeking in the file again.
  std::int64_t total = 0;
  for (;;) {
    Packet_Ptr packet(av_packet_alloc());
    if (!packet) {
      error = "out of memory reading " + path;
      return nullptr;
    }
    ret = av_read_frame(format.get(), packet.get());
    if (ret < 0) break;  // the end, or a damaged tail: the frames read so far stand
    if (packet->stream_index != stream_index) continue;
    total += packet->size;
    if (packet->size < 0 || packet->size > Max_Packet_Bytes || total > static_cast<std::int64_t>(Max_File_Bytes)) {
      error = "the clip holds a frame of impossible size: " + path;
      return nullptr;
    }
    if (static_cast<int>(impl->packets.size()) >= Max_Frames) {
      error = "the clip has more than " + std::to_string(Max_Frames) + " frames: " + path;
      return nullptr;
    }
    impl->packets.push_back(std::move(packet));
  }
  if (impl->packets.empty() || impl->Empty(0)) {
    error = "the clip has no frames: " + path;
    return nullptr;
  }
  std::unique_ptr<Clip_Decoder> clip(new Clip_Decoder(std::move(impl)));
  // A clip whose first picture cannot be shown is no clip.
  Clip_Image first;
  if (!clip->Decode(0, first)) {
    error = "the clip's first frame cannot be decoded: " + path;
    return nullptr;
  }
  return clip;
}

int Clip_Decoder::Frames() const { return static_cast<int>(impl_->packets.size()); }
int Clip_Decoder::Width() const { return impl_->width; }
int Clip_Decoder::Height() const { return impl_->height; }
double Clip_Decoder::Frame_Seconds() const { return impl_->frame_seconds; }

bool Clip_Decoder::Decode(int frame, Clip_Image& out) {
  Impl& d = *impl_;
  if (frame < 0 || frame >= Frames()) return false;
  // An empty packet repeats the frame before it.
  int target = frame;
  while (target > 0 && d.Empty(target)) --target;
  if (d.Empty(target)) return false;
  // Decoding starts at the key frame at or before it, or goes on from the
  // frame decoded last when that lies between.
  int start = target;
  while (start > 0 && !d.Key(start)) --start;
  int from = start;
  if (d.fed >= start && d.fed < target) {
    from = d.fed + 1;
  } else {
    avcodec_flush_buffers(d.codec.get());
  }
  d.fed = -1;
  bool got = false;
  for (int i = from; i <= target; ++i) {
    if (d.Empty(i)) continue;
    if (!d.Feed(i, got)) {
      avcodec_flush_buffers(d.codec.get());
      return false;
    }
    d.fed = i;
  }
  if (!got) return false;
  const bool converted = d.Convert(out);
  av_frame_unref(d.frame.get());
  return converted;
}

#else  // no FFmpeg in this build

struct Clip_Decoder::Impl {};

bool Clip_Decoder::Available() { return false; }

std::unique_ptr<Clip_Decoder> Clip_Decoder::Open(const std::string& path, std::string& error) {
  if (!Plain_File_Fits(path, error)) return nullptr;
  error = "this build of the program reads no clips (it was built without FFmpeg): " + path;
  return nullptr;
}

int Clip_Decoder::Frames() const { return 0; }
int Clip_Decoder::Width() const { return 0; }
int Clip_Decoder::Height() const { return 0; }
double Clip_Decoder::Frame_Seconds() const { return 1.0 / 15.0; }
bool Clip_Decoder::Decode(int, Clip_Image&) { return false; }

#endif

Clip_Decoder::Clip_Decoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Clip_Decoder::~Clip_Decoder() = default;

}  // namespace stylomat
