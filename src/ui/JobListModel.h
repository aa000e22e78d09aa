#pragma once
// The list view's window onto the job list: the list itself is the only
// store of the queue; this model reads it and follows its changes.
#include <QAbstractTableModel>

#include "joblist/JobList.h"

namespace pelvantz {

class JobListModel : public QAbstractTableModel, private JobListObserver {
  Q_OBJECT

 public:
  enum Column { FileColumn, SourceColumn, TargetColumn, StatusColumn, ColumnCount };

  explicit JobListModel(JobList& jobs, QObject* parent = nullptr);
  ~JobListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  void rowAboutToBeAppended(int16_t position) override;
  void rowAppended(int16_t position) override;
  void statusChanged(int16_t position) override;
  void aboutToClear() override;
  void cleared() override;

  JobList& jobs_;
};

}  // namespace pelvantz
