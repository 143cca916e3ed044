// "プロバイダ選択": the provider presets in a drop-down, the one matching the
// account's address chosen first. Answers the chosen preset's own number.
#pragma once

#include <QDialog>
#include <QComboBox>
#include <vector>

#include "config/provider_presets.h"

namespace velnora::ui {

class ProviderDialog : public QDialog {
  Q_OBJECT
 public:
  ProviderDialog(const std::vector<ProviderPreset>& presets, std::string_view address, QWidget* parent = nullptr);
  // The preset chosen (its number in the file), or -1.
  int chosen() const;
  QComboBox& list() { return *list_; }

  // The presets of the data folder.
  static std::vector<ProviderPreset> Installed();

 private:
  const std::vector<ProviderPreset>& presets_;
  QComboBox* list_;
};

}  // namespace velnora::ui
