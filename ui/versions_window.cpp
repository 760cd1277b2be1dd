#include "versions_window.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "clock.h"
#include "errors.h"
#include "fonts.h"
#include "texts.h"
#include "window_placement.h"

namespace verdaline {
namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QString dateOf(const FileVersion& version) {
    return q(localTimeText(static_cast<std::time_t>(version.time.seconds), "%Y-%m-%d %H:%M:%S"));
}

bool kept(const FileVersion& version) {
    return version.kind != VersionKind::OnComputer && version.kind != VersionKind::OnStick;
}

}  // namespace

VersionsWindow::VersionsWindow(Platform& platform, const WorkArea& area, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_platform(platform), m_area(area), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("versionsWindow"));
    setWindowTitle(QStringLiteral("Версии файла"));
    setFont(windowFont());
    resize(640, 380);
    centreOnScreen(this);

    m_versionTable = new QTableWidget(0, 3, this);
    m_versionTable->setObjectName(QStringLiteral("versionTable"));
    m_versionTable->setHorizontalHeaderLabels(
        {QStringLiteral("Дата"), QStringLiteral("Размер"), QStringLiteral("Вид")});
    m_versionTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_versionTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_versionTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_versionTable->verticalHeader()->hide();
    m_versionTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_versionTable->horizontalHeader()->setStretchLastSection(true);
    connect(m_versionTable, &QTableWidget::itemSelectionChanged, this, &VersionsWindow::chooseRow);
    connect(m_versionTable, &QTableWidget::cellDoubleClicked, this,
            [this] { act([this] { openVersion(); }); });

    const auto button = [this](const char* name, const char* text, void (VersionsWindow::*handler)()) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromUtf8(name));
        connect(b, &QPushButton::clicked, this,
                [this, handler] { act([this, handler] { (this->*handler)(); }); });
        return b;
    };
    m_openButton = button("openButton", "Открыть", &VersionsWindow::openVersion);
    m_restoreButton = button("restoreButton", "Вернуть эту версию", &VersionsWindow::restoreVersion);
    m_saveAsButton = button("saveAsButton", "Сохранить как...", &VersionsWindow::saveVersionAs);
    m_removeButton = button("removeButton", "Удалить", &VersionsWindow::removeVersion);
    m_closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_openButton, m_restoreButton, m_saveAsButton, m_removeButton}) {
        buttons->addWidget(b);
    }
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_versionTable);
    layout->addLayout(buttons);
}

void VersionsWindow::showEntry(const std::string& computer, const std::string& computerPath) {
    m_computer = computer;
    m_computerPath = computerPath;
    m_versions.clear();
    m_versionTable->setRowCount(0);
    setWindowTitle(QStringLiteral("Версии файла - ") + QDir::toNativeSeparators(q(computerPath)));
    act([this] { refresh(); });
    show();
    raise();
    activateWindow();
}

void VersionsWindow::refresh() {
    {
        const WorkAreaLock reading(m_platform, m_area, WorkAreaLock::Reading::Yes);
        m_flashPath = storedCopyOf(m_platform, m_area, m_computer, m_computerPath);
        m_versions = versionsOf(m_platform, m_area, m_computer, m_computerPath, m_flashPath);
    }
    m_versionTable->setRowCount(static_cast<int>(m_versions.size()));
    for (int row = 0; row < m_versionTable->rowCount(); ++row) {
        const FileVersion& version = m_versions[static_cast<std::size_t>(row)];
        const QString cells[] = {dateOf(version), QString::number(version.size),
                                 q(versionKindText(version.kind))};
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(QDir::toNativeSeparators(q(version.path)));
            if (column == 1) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            m_versionTable->setItem(row, column, item);
        }
    }
    // The newest kept version is the one most often wanted back.
    int first = 0;
    while (first < m_versionTable->rowCount() && !kept(m_versions[static_cast<std::size_t>(first)])) {
        ++first;
    }
    m_versionTable->clearSelection();
    if (m_versionTable->rowCount() > 0) {
        m_versionTable->selectRow(first < m_versionTable->rowCount() ? first : 0);
    }
    chooseRow();
}

const FileVersion* VersionsWindow::chosen() const {
    const auto rows = m_versionTable->selectionModel()->selectedRows();
    if (rows.isEmpty() || static_cast<std::size_t>(rows.front().row()) >= m_versions.size()) {
        return nullptr;
    }
    return &m_versions[static_cast<std::size_t>(rows.front().row())];
}

void VersionsWindow::chooseRow() {
    const FileVersion* version = chosen();
    m_openButton->setEnabled(version != nullptr);
    m_saveAsButton->setEnabled(version != nullptr);
    m_restoreButton->setEnabled(version != nullptr && kept(*version));
    m_removeButton->setEnabled(version != nullptr && kept(*version));
}

// Failures are told, and the table shows the versions as they are then.
void VersionsWindow::act(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& failure) {
        reportFailure(m_dialogs, this, failureText(m_platform, m_area, failure));
        try {
            refresh();
        } catch (const std::exception&) {
            // The stick is gone: the table stays as it was.
        }
    }
}

void VersionsWindow::openVersion() {
    if (const FileVersion* version = chosen()) {
        m_dialogs.openExternally(QUrl::fromLocalFile(q(version->path)));
    }
}

void VersionsWindow::restoreVersion() {
    const FileVersion* version = chosen();
    if (version == nullptr || !kept(*version) ||
        !m_dialogs.ask(this, windowTitle(),
                       q(texts::versionRestoreQuestion(dateOf(*version).toStdString(), m_computerPath)))) {
        return;
    }
    verdaline::restoreVersion(m_platform, m_area, m_computer, m_computerPath, version->path);
    refresh();
    emit restored();
    m_dialogs.showMessage(this, windowTitle(), q(texts::versionRestored(m_computerPath)),
                          Dialogs::Icon::Information);
}

void VersionsWindow::saveVersionAs() {
    const FileVersion* version = chosen();
    if (version == nullptr) {
        return;
    }
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = QStringLiteral("Сохранить версию как");
    request.folder = q(m_computerPath.substr(0, m_computerPath.size() - fileNameOf(m_computerPath).size()));
    request.fileName = q(fileNameOf(version->path));
    request.confirmOverwrite = true;
    if (const auto target = m_dialogs.chooseFile(this, request)) {
        verdaline::saveVersionAs(m_platform, m_area, version->path, target->toStdString());
    }
}

void VersionsWindow::removeVersion() {
    const FileVersion* version = chosen();
    if (version == nullptr || !kept(*version) ||
        !m_dialogs.ask(this, windowTitle(), q(texts::versionRemoveQuestion(fileNameOf(version->path))))) {
        return;
    }
    removeKeptVersion(m_platform, m_area, m_computer, m_computerPath, version->path);
    refresh();
}

}  // namespace verdaline
