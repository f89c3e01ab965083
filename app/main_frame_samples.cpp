// The Samples menu and the commands that load samples into documents.
#include <QMenu>
#include <QTextDocument>

#include "default_scene.h"
#include "fractal_doc.h"
#include "main_frame.h"
#include "samples_popup.h"
#include "script_codec.h"

namespace app {

namespace {
// The title of a sample without a name.
const char* const kUnnamedSampleTitle = "Affine System";
}  // namespace

void CMainFrame::refillSamplesMenu(QMenu* popup) {
  if (samples_.path().empty()) return;
  samples_.reloadIfChanged();
  const unsigned generation = samples_.generation();
  if (samplesMenuGeneration_.value(popup) == generation) return;
  samplesMenuGeneration_.insert(popup, generation);
  fillSamplesPopup(popup, shell::buildSamplesMenu(samples_.index().entries()),
                   [this](int entry) { chooseSample(entry); });
  updateCommands();
}

void CMainFrame::chooseSample(int entry) {
  currentSample_ = samples_.index().sampleOrdinalOfEntry(entry);
  loadSample(entry, false);
}

void CMainFrame::stepSample(shell::SampleStep step) {
  // The file may have been edited since the menu showed it last.
  samples_.reloadIfChanged();
  const shell::SamplesIndex& index = samples_.index();
  const std::optional<int> sample = shell::stepSample(currentSample_, index.sampleCount(), step);
  if (!sample) return;
  currentSample_ = *sample;
  loadSample(index.entryOfSample(*sample), true);
}

CFractal_Doc* CMainFrame::loadFirstSample() {
  samples_.reloadIfChanged();
  const int entry = samples_.index().entryOfSample(0);
  if (entry >= 0) {
    currentSample_ = 0;
    if (CFractal_Doc* doc = loadSample(entry, false)) return doc;
  }
  return putScript(DefaultScene::kScript, DefaultScene::kTitle, autoBuild_);
}

CFractal_Doc* CMainFrame::loadSample(int entry, bool stepping) {
  // Only samples carry text. One that the file no longer holds leaves the
  // documents as they are rather than retitling one over its old text.
  const std::optional<std::string> script = samples_.sampleText(entry);
  if (!script) return nullptr;
  const std::string name = samples_.index().nameOfEntry(entry);
  const QString title = name.empty() ? kUnnamedSampleTitle : ScriptCodec().toEditor(name);
  return putScript(*script, title, stepping || autoBuild_);
}

CFractal_Doc* CMainFrame::putScript(const std::string& script, const QString& title, bool build) {
  // An untouched untitled document is reused, so stepping through the
  // samples does not pile up windows.
  CFractal_Doc* doc = activeDoc_;
  if (!doc || doc->isModified() || !doc->filePath().isEmpty() || doc->isBuilding()) {
    doc = newDocument();
  }
  doc->replaceScript(script);
  doc->setTitle(title);
  if (build && !doc->text()->isEmpty()) {
    doc->build();
  } else {
    doc->discardImage();  // the picture of the script it replaced
  }
  return doc;
}

}  // namespace app
