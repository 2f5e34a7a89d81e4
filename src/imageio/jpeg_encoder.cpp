#include "imageio/jpeg_encoder.h"

#include <csetjmp>
#include <cstdio>
#include <new>

// jerror.h needs the declarations of jpeglib.h.
#include <jpeglib.h>

#include <jerror.h>

#ifndef JCS_EXTENSIONS
#error "libjpeg-turbo is needed: its colour extensions read the platform's pixels"
#endif

#include "toolkit/error.h"
#include "toolkit/messages.h"

namespace vistrel {

namespace {

// The library's error exit jumps back here instead of ending the process;
// exceptions must not cross the library's C frames.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void OutputNothing(j_common_ptr) {}

// Collects the stream in a growing vector.
struct VectorDestination {
  jpeg_destination_mgr pub;
  std::vector<std::uint8_t>* out;
};

void InitDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->pub.next_output_byte = dest->out->data();
  dest->pub.free_in_buffer = dest->out->size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  const std::size_t used = dest->out->size();
  bool grown = true;
  try {
    dest->out->resize(used * 2);
  } catch (const std::bad_alloc&) {
    grown = false;
  }
  if (!grown) ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
  dest->pub.next_output_byte = dest->out->data() + used;
  dest->pub.free_in_buffer = dest->out->size() - used;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->out->resize(dest->out->size() - dest->pub.free_in_buffer);
}

// Everything the compression touches lives here, outside the frame that calls
// setjmp, so a jump skips no destructor.
struct Job {
  const JpegSource* source;
  int quality;
  JSAMPROW* rows;  // a pointer per source row
  jpeg_compress_struct cinfo;
  ErrorManager error;
  VectorDestination dest;
};

// False when the library raised an error; its message number is then in
// job.error.pub.msg_code.
bool Compress(Job& job) {
  job.cinfo.err = jpeg_std_error(&job.error.pub);
  job.error.pub.error_exit = ErrorExit;
  job.error.pub.output_message = OutputNothing;
  if (setjmp(job.error.jump)) {
    jpeg_destroy_compress(&job.cinfo);
    return false;
  }
  jpeg_create_compress(&job.cinfo);
  job.dest.pub.init_destination = InitDestination;
  job.dest.pub.empty_output_buffer = EmptyOutputBuffer;
  job.dest.pub.term_destination = TermDestination;
  job.cinfo.dest = &job.dest.pub;

  const JpegSource& src = *job.source;
  job.cinfo.image_width = static_cast<JDIMENSION>(src.width);
  job.cinfo.image_height = static_cast<JDIMENSION>(src.height);
  // libjpeg-turbo reads the platform's blue-green-red pixels itself, in its
  // SIMD colour conversion: the same stream as from RGB rows, without them.
  job.cinfo.input_components = src.bytesPerPixel;
  job.cinfo.in_color_space = src.bytesPerPixel == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&job.cinfo);
  jpeg_set_quality(&job.cinfo, job.quality, TRUE);
  jpeg_start_compress(&job.cinfo, TRUE);

  // All rows in one call, straight from the source.
  for (int y = 0; y < src.height; ++y)
    job.rows[y] = const_cast<JSAMPROW>(src.topRow + y * src.rowStride);
  while (job.cinfo.next_scanline < job.cinfo.image_height)
    jpeg_write_scanlines(&job.cinfo, job.rows + job.cinfo.next_scanline,
                         job.cinfo.image_height - job.cinfo.next_scanline);
  jpeg_finish_compress(&job.cinfo);
  jpeg_destroy_compress(&job.cinfo);
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeJpeg(const JpegSource& source, int quality) {
  if (!JpegQualityInRange(quality)) return std::nullopt;
  std::vector<std::uint8_t> stream;
  if (source.width <= 0 || source.height <= 0) return stream;

  // A screen image usually compresses well below a quarter of its RGB size.
  const std::size_t pixels =
      static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);
  stream.resize(pixels / 4 + 4096);
  std::vector<JSAMPROW> rows(static_cast<std::size_t>(source.height));

  Job job{};
  job.source = &source;
  job.quality = quality;
  job.rows = rows.data();
  job.dest.out = &stream;
  if (!Compress(job)) throw Error(messages::JpegError(job.error.pub.msg_code));
  return stream;
}

}  // namespace vistrel
