// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion job: one video file repaired into a DVD MPEG-2 program stream, the same
// conversion the authoring run applies to titles that are not DVD-compliant.
//
//   ConversionRequest request{"/home/me/clip.avi", "/home/me/clip.avi", TvStandard::Pal};
//   ConversionJob job(request, observer);   // its progress, question and end reach `observer`
//   JobResult r = job.Run();                // or Start() / Wait()
//   if (r.succeeded) Show(job.OutputPath());        // "/home/me/clip.mpg": .avi becomes .mpg
// Cancel() stops it (the unfinished output is removed).
#pragma once

#include <atomic>
#include <string>

#include "base/tv_standard.h"
#include "base/translation.h"
#include "jobs/job.h"

namespace vantrel {

class JobObserver;

// The output is written as .mpg when its name ends in .avi; a file already there under
// that name, which the user did not name, is replaced only on a Yes.
inline constexpr const char* kReplaceRenamedOutputQuestion =
    N_("文件 %s 已经存在。转换结果是 MPEG 文件，%s 将以这个名字写入。\n您想要替换它吗？");
inline constexpr const char* kRenamedOutputKept = N_("没有替换已有的文件 %s；请选择别的输出文件名");
inline constexpr const char* kOutputIsSourceText = N_("输出文件 %s 就是要转换的文件；请选择别的输出文件名");

struct ConversionRequest {
  std::string source;
  std::string output;
  TvStandard standard = TvStandard::Pal;
};

class ConversionJob : public Job {
 public:
  ConversionJob(ConversionRequest request, JobObserver& observer);
  ~ConversionJob() override { Join(); }

  // The path written (or that would have been), once Done().
  const std::string& OutputPath() const { return output_; }
  void Cancel() { cancel_ = true; }

 private:
  JobResult Execute() override;

  ConversionRequest request_;
  std::string output_;
  std::atomic<bool> cancel_{false};
};

}  // namespace vantrel
