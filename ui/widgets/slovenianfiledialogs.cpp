#include "ui/widgets/slovenianfiledialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace {

// The columns of Qt's file model.
enum Column { Name = 0, Size = 1, Kind = 2, Modified = 3 };

class SlovenianFileModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || index.column() == Name) {
            return QIdentityProxyModel::data(index, role);
        }
        const QModelIndex source = mapToSource(index);
        const QLocale slovenian(QLocale::Slovenian, QLocale::Slovenia);
        switch (index.column()) {
            case Size:
                return files->isDir(source) ? QString() : slovenian.formattedDataSize(files->size(source));
            case Modified:
                return slovenian.toString(files->lastModified(source), QLocale::ShortFormat);
            case Kind:
                // The system's kind names come in the system's language; under
                // any other than Slovenian the kind is told by the suffix.
                if (QLocale().language() == QLocale::Slovenian) {
                    break;
                }
                if (files->isDir(source)) {
                    return QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms");
                }
                if (const QString suffix = files->fileInfo(source).suffix(); !suffix.isEmpty()) {
                    return QCoreApplication::translate("QAbstractFileIconProvider", "%1 File").arg(suffix.toUpper());
                }
                return QCoreApplication::translate("QAbstractFileIconProvider", "File");
            default:
                break;
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// Gives each file dialog the Slovenian model when it is first shown: only then
// does a dialog drawn by Qt have its views (a native one has none).
class FileDialogWatcher : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* dialog = qobject_cast<QFileDialog*>(watched);
            if (dialog != nullptr && dialog->proxyModel() == nullptr &&
                dialog->findChild<QTreeView*>(QStringLiteral("treeView")) != nullptr) {
                dialog->setProxyModel(new SlovenianFileModel(dialog));
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void installSlovenianFileDialogs(QObject* application) {
    auto* watcher = new FileDialogWatcher(application);
    watcher->setObjectName(QStringLiteral("slovenianFileDialogs"));
    application->installEventFilter(watcher);
}
