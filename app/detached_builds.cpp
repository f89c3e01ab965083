#include "detached_builds.h"

#include <QList>
#include <QPointer>

#include "build_job.h"

namespace app::detached_builds {

namespace {
QList<QPointer<BuildJob>>& adopted() {
  static QList<QPointer<BuildJob>> jobs;
  return jobs;
}
}  // namespace

void adopt(BuildJob* job) {
  job->setParent(nullptr);
  QObject::connect(job, &QThread::finished, job, &QObject::deleteLater);
  adopted().append(job);
}

void waitForAll() {
  for (const QPointer<BuildJob>& job : adopted()) delete job.data();  // its destructor waits
  adopted().clear();
}

}  // namespace app::detached_builds
