#include "ui/JobListModel.h"

#include <array>

namespace pelvantz {
namespace {

const std::array<const char*, JobListModel::ColumnCount> ColumnCaptions = {"Powerpoint File", "Source Location",
                                                                           "Target Location", "Status"};

const std::string& FieldOf(const ConversionJob& job, int column) {
  switch (column) {
    case JobListModel::SourceColumn:
      return job.SourcePath;
    case JobListModel::TargetColumn:
      return job.TargetPath;
    case JobListModel::StatusColumn:
      return job.Status;
    default:
      return job.DisplayName;
  }
}

// Why the row ended as it did, and where it was going: the two path columns
// are hidden, so this is where the user finds them.
QString RowExplanation(const ConversionJob& job) {
  QString text;
  if (!job.Reason.empty()) text = QString::fromStdString(job.Reason) + QLatin1Char('\n');
  return text + QStringLiteral("Source: ") + QString::fromStdString(job.SourcePath) +
         QStringLiteral("\nTarget: ") + QString::fromStdString(job.TargetPath);
}

}  // namespace

JobListModel::JobListModel(JobList& jobs, QObject* parent) : QAbstractTableModel(parent), jobs_(jobs) {
  jobs_.setObserver(this);
}

JobListModel::~JobListModel() { jobs_.setObserver(nullptr); }

int JobListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : jobs_.count(); }

int JobListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant JobListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= jobs_.count()) return {};
  const ConversionJob& job = jobs_.at(static_cast<int16_t>(index.row() + 1));
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(FieldOf(job, index.column()));
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
      return RowExplanation(job);
    default:
      return {};
  }
}

QVariant JobListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(ColumnCaptions[section]);
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

void JobListModel::rowAboutToBeAppended(int16_t position) {
  beginInsertRows(QModelIndex(), position - 1, position - 1);
}

void JobListModel::rowAppended(int16_t) { endInsertRows(); }

void JobListModel::statusChanged(int16_t position) {
  emit dataChanged(index(position - 1, FileColumn), index(position - 1, StatusColumn),
                   {Qt::DisplayRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

void JobListModel::aboutToClear() { beginResetModel(); }

void JobListModel::cleared() { endResetModel(); }

}  // namespace pelvantz
