// The question where to keep a download: a file dialog of its own, not the
// desktop's, that never lets a download into the program's data folder.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>

class QWidget;

// Shows the save dialog over parent, without blocking it, starting at
// proposedPath (the folder and the offered name); answer gets the chosen
// path, or an empty text when the dialog is cancelled. A file in dataDir
// (IsInDataFolder) is refused before anything else, before the question
// whether to replace it: showRefusal gets the message to show, and the
// dialog stays open for another choice.
void ShowSaveDialog(QWidget* parent, const QString& proposedPath, const std::filesystem::path& dataDir,
                    std::function<void(const QString& message)> showRefusal,
                    std::function<void(const QString& chosen)> answer);
