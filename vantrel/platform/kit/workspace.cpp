#include "vantrel/platform/kit/workspace.h"

#include "vantrel/core/fatal.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/platform/kit/proc_running_applications.h"
#include "vantrel/platform/kit/xdg_url_opener.h"

namespace vantrel {

const std::shared_ptr<Workspace>& Workspace::shared() {
  static NoDestructor<std::shared_ptr<Workspace>> workspace(
      create(ProcRunningApplications::create(), std::make_shared<XdgOpenUrlOpener>()));
  return *workspace;
}

std::shared_ptr<Workspace> Workspace::create(std::shared_ptr<RunningApplicationsSource> applications,
                                             std::shared_ptr<UrlOpener> opener) {
  if (!applications || !opener) fatal("Workspace::create: a source is null");
  return std::shared_ptr<Workspace>(new Workspace(std::move(applications), std::move(opener)));
}

}  // namespace vantrel
