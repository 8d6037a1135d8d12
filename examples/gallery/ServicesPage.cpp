#include "ServicesPage.h"

#include <QFileUtility.h>
#include <Thread.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>
#include <vector>

namespace {

// Counts primes with a sieve on the worker thread; postExec hands the result back on the
// GUI thread, where touching widgets is allowed.
class PrimeCounter : public Thread
{
public:
    PrimeCounter(int limit, std::function<void(int, int, qint64)> done)
        : m_limit(limit), m_done(std::move(done)) {}

protected:
    void run() override
    {
        QElapsedTimer timer;
        timer.start();
        std::vector<bool> composite(size_t(m_limit) + 1, false);
        int count = 0;
        for (int i = 2; i <= m_limit; ++i) {
            if (composite[size_t(i)])
                continue;
            ++count;
            for (qint64 j = qint64(i) * i; j <= m_limit; j += i)
                composite[size_t(j)] = true;
        }
        m_count = count;
        m_ms = timer.elapsed();
    }
    void postExec() override { m_done(m_limit, m_count, m_ms); }

private:
    int m_limit;
    int m_count = 0;
    qint64 m_ms = 0;
    std::function<void(int, int, qint64)> m_done;
};

} // namespace

ServicesPage::ServicesPage(const QString& guardKey, const QString& sampleDir, QWidget* parent)
    : QWidget(parent),
      m_result(new QLabel(tr("Not computed yet."))),
      m_path(new QLineEdit(sampleDir)),
      m_filters(new QLineEdit(QStringLiteral("*.txt *.log"))),
      m_names(new QListWidget),
      m_paths(new QListWidget),
      m_listStatus(new QLabel)
{
    // A folder with something in it to list.
    QFileUtility::createDirectory(sampleDir + QStringLiteral("/nested"));
    for (const char* name : {"notes.txt", "Session.log", "archive.tar.gz", "image.png", "readme.txt"}) {
        QFile f(QDir(sampleDir).filePath(QString::fromLatin1(name)));
        if (!f.exists() && f.open(QIODevice::WriteOnly))
            f.write("sample\n");
    }

    auto* intro = new QLabel(tr("<b>Application services.</b> A single-instance guard, a worker "
                                "thread whose completion hook runs on the GUI thread, and static "
                                "file helpers."));
    intro->setWordWrap(true);
    auto* guard = new QLabel(tr("This gallery holds the run-guard key “%1”: start it a second time and "
                                "the new one says so and exits.")
                                 .arg(guardKey));
    guard->setWordWrap(true);

    auto* compute = new QPushButton(tr("Count primes below 20,000,000 on a worker thread"));
    connect(compute, &QPushButton::clicked, this, &ServicesPage::compute);

    auto* list = new QPushButton(tr("List"));
    connect(list, &QPushButton::clicked, this, &ServicesPage::listFolder);
    auto* form = new QFormLayout;
    form->addRow(tr("Folder:"), m_path);
    form->addRow(tr("Filters:"), m_filters);
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_names);
    lists->addWidget(m_paths, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(guard);
    layout->addWidget(compute, 0, Qt::AlignLeft);
    layout->addWidget(m_result);
    layout->addLayout(form);
    layout->addWidget(list, 0, Qt::AlignLeft);
    layout->addWidget(m_listStatus);
    layout->addLayout(lists, 1);
}

void ServicesPage::compute()
{
    m_result->setText(tr("Computing…"));
    QPointer<ServicesPage> self(this);
    // The thread deletes itself after postExec; the page may be gone by then.
    auto* counter = new PrimeCounter(20000000, [self](int limit, int count, qint64 ms) {
        if (!self)
            return;
        self->m_hasResult = true;
        self->m_result->setText(tr("%1 primes below %2, counted in %3 ms on a worker thread.")
                                    .arg(count)
                                    .arg(limit)
                                    .arg(ms));
    });
    counter->start();
}

bool ServicesPage::hasResult() const
{
    return m_hasResult;
}

void ServicesPage::listFolder()
{
    const QString dir = m_path->text();
    const QStringList filters = m_filters->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const bool existed = QFileUtility::doesDirectoryExist(dir);
    m_names->clear();
    m_paths->clear();
    m_names->addItems(QFileUtility::getFileNames(dir, filters));
    m_paths->addItems(QFileUtility::getFullPaths(dir, filters));
    m_listStatus->setText(existed ? tr("Base names (left) and full paths (right):")
                                  : tr("The folder did not exist and has been created: it is empty."));
}
