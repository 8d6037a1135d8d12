// Builds a settings dialog from N entries (all nine types, 20 categories of 3 sub-categories,
// values present in an INI store) and presses Ok. The baseline builds the same widget tree with
// plain Qt and writes the same values with QSettings.

#include "EntryProperties.h"
#include "ryqtbench.h"

#include <QSettingsCategory.h>
#include <QSettingsDialog.h>
#include <QSettingsEntry.h>
#include <QSettingsLoader.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <memory>
#include <vector>

namespace {

constexpr int kCategories = 20;
constexpr int kSubCategories = 3;
const QVariantList& kChoices = ryqtbench::entryChoices();

struct Workload {
    QTemporaryDir dir;
    std::unique_ptr<QSettings> store;
    std::vector<std::unique_ptr<QSettingsCategory>> categories;
    std::vector<std::unique_ptr<QSettingsCategory>> subCategories;
    std::vector<std::unique_ptr<QSettingsLoader>> loaders;
    QList<QSettingsEntry> entries;

    explicit Workload(int count)
    {
        store.reset(new QSettings(dir.filePath("bench.ini"), QSettings::IniFormat));
        for (int c = 0; c < kCategories; ++c) {
            categories.emplace_back(new QSettingsCategory(QString("Category %1").arg(c), QPixmap()));
            for (int s = 0; s < kSubCategories; ++s)
                subCategories.emplace_back(
                    new QSettingsCategory(QString("Group %1").arg(s), QPixmap()));
        }
        for (int i = 0; i < count; ++i) {
            const auto type = QSettingsEntry::EntryType(i % 9);
            const QString key = QString("c%1/e%2").arg(i % kCategories).arg(i);
            loaders.emplace_back(new QSettingsLoader(store.get(), key));
            QSettingsCategory* sub = subCategories[size_t(i % (kCategories * kSubCategories))].get();
            QSettingsCategory* cat = categories[size_t(i % kCategories)].get();
            entries.append(QSettingsEntry(type, loaders.back().get(), cat, key, false,
                                          QString("Tip %1").arg(i), ryqtbench::entryProperties(type), sub));
            store->setValue(key, storedValue(type, i));
        }
        store->sync();
    }

    static QVariant storedValue(QSettingsEntry::EntryType type, int i)
    {
        switch (type) {
        case QSettingsEntry::Double: return i * 0.5;
        case QSettingsEntry::Integer: return i;
        case QSettingsEntry::Boolean: return i % 2 == 0;
        case QSettingsEntry::DoubleChoice:
        case QSettingsEntry::IntegerChoice:
        case QSettingsEntry::StringChoice: return kChoices.at(i % kChoices.size());
        default: return QString("/tmp/value/%1").arg(i);
        }
    }
};

// A host returns to its event loop between dialogs; without that, the events posted to widgets
// already deleted stay in the queue and every later rep would pay for scanning them.
void settle()
{
    QCoreApplication::sendPostedEvents();
}

double runOurs(Workload& w)
{
    std::unique_ptr<QSettingsDialog> dialog;
    const double ms = ryqtbench::timeMs([&] {
        dialog.reset(new QSettingsDialog(w.entries));
        dialog->findChildren<QPushButton*>().first()->click(); // "Ok" is created first
        w.store->sync();
    });
    dialog.reset();
    settle();
    return ms;
}

// The same tree written by hand: list + stack, a page per category with a bold title and a tab
// per sub-category, a labelled row per entry, values loaded and written straight through QSettings.
double runBaseline(Workload& w)
{
    std::unique_ptr<QDialog> dialog;
    const double ms = ryqtbench::timeMs([&] {
        dialog.reset(new QDialog);
        dialog->setMinimumSize(600, 400);
        auto* main = new QVBoxLayout;
        auto* top = new QHBoxLayout;
        auto* buttons = new QHBoxLayout;
        auto* ok = new QPushButton("Ok", dialog.get());
        auto* cancel = new QPushButton("Cancel", dialog.get());
        buttons->addStretch(1);
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        auto* list = new QListWidget(dialog.get());
        auto* stack = new QStackedWidget(dialog.get());
        top->addWidget(list);
        top->addWidget(stack);
        main->addLayout(top);
        main->addLayout(buttons);
        dialog->setLayout(main);

        QHash<const QSettingsCategory*, QTabWidget*> pages;
        QHash<const QSettingsCategory*, QVBoxLayout*> groups;
        std::vector<QWidget*> editors;
        editors.reserve(size_t(w.entries.size()));
        for (const QSettingsEntry& e : qAsConst(w.entries)) {
            QTabWidget*& tabs = pages[e.category()];
            if (!tabs) {
                auto* page = new QWidget;
                auto* layout = new QVBoxLayout;
                auto* title = new QLabel(e.category()->name());
                title->setStyleSheet("font-weight: bold; color: black");
                tabs = new QTabWidget;
                layout->addWidget(title);
                layout->addWidget(tabs);
                page->setLayout(layout);
                stack->addWidget(page);
                list->addItem(new QListWidgetItem(QIcon(e.category()->icon()), e.category()->name()));
            }
            QVBoxLayout*& group = groups[e.subCategory()];
            if (!group) {
                auto* panel = new QWidget;
                group = new QVBoxLayout;
                group->setAlignment(Qt::AlignTop);
                panel->setLayout(group);
                tabs->addTab(panel, e.subCategory()->name());
            }
            auto* row = new QHBoxLayout;
            const QVariant v = w.store->value(e.loader()->key());
            QWidget* editor = nullptr;
            QLineEdit* pathEdit = nullptr;
            if (e.dataType() != QSettingsEntry::Boolean) {
                auto* label = new QLabel(e.name() + ':');
                label->setMaximumWidth(100);
                row->addWidget(label);
            }
            switch (e.dataType()) {
            case QSettingsEntry::Double: {
                auto* s = new QDoubleSpinBox;
                s->setRange(-1000.0, 1000.0);
                s->setDecimals(3);
                s->setValue(v.toDouble());
                editor = s;
                break;
            }
            case QSettingsEntry::Integer: {
                auto* s = new QSpinBox;
                s->setRange(-1000, 100000);
                s->setValue(v.toInt());
                editor = s;
                break;
            }
            case QSettingsEntry::Boolean: {
                auto* c = new QCheckBox(e.name());
                c->setChecked(v.toBool());
                editor = c;
                break;
            }
            case QSettingsEntry::DoubleChoice:
            case QSettingsEntry::IntegerChoice:
            case QSettingsEntry::StringChoice: {
                auto* c = new QComboBox;
                for (const QVariant& item : kChoices)
                    c->addItem(item.toString(), item);
                c->setCurrentIndex(c->findData(v));
                editor = c;
                break;
            }
            default: {
                auto* l = new QLineEdit;
                l->setPlaceholderText("value");
                l->setText(v.toString());
                editor = pathEdit = l;
                break;
            }
            }
            editor->setToolTip(e.toolTip());
            row->addWidget(editor);
            if (e.dataType() == QSettingsEntry::File || e.dataType() == QSettingsEntry::Directory) {
                auto* b = new QPushButton("...");
                b->setMaximumWidth(30);
                QObject::connect(b, &QPushButton::clicked, pathEdit, [pathEdit] { pathEdit->clear(); });
                row->addWidget(b);
            }
            group->addLayout(row);
            editors.push_back(editor);
        }

        // "Ok"
        for (int i = 0; i < w.entries.size(); ++i) {
            const QSettingsEntry& e = w.entries.at(i);
            QWidget* editor = editors[size_t(i)];
            QVariant value;
            switch (e.dataType()) {
            case QSettingsEntry::Double: value = static_cast<QDoubleSpinBox*>(editor)->value(); break;
            case QSettingsEntry::Integer: value = static_cast<QSpinBox*>(editor)->value(); break;
            case QSettingsEntry::Boolean: value = static_cast<QCheckBox*>(editor)->isChecked(); break;
            case QSettingsEntry::DoubleChoice:
                value = static_cast<QComboBox*>(editor)->currentData().toDouble(); break;
            case QSettingsEntry::IntegerChoice:
                value = static_cast<QComboBox*>(editor)->currentData().toInt(); break;
            case QSettingsEntry::StringChoice:
                value = static_cast<QComboBox*>(editor)->currentData().toString(); break;
            default: value = static_cast<QLineEdit*>(editor)->text(); break;
            }
            w.store->setValue(e.loader()->key(), value);
        }
        dialog->close();
        w.store->sync();
    });
    dialog.reset();
    settle();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    ryqtbench::Runner runner(argc, argv);
    for (int count : {1000, 10000}) {
        // Built on first use, so listing or running the other scenario costs nothing.
        auto holder = std::make_shared<std::unique_ptr<Workload>>();
        auto work = [holder, count]() -> Workload& {
            if (!*holder)
                holder->reset(new Workload(count));
            return **holder;
        };
        runner.add(QString("settings_dialog_%1").arg(count),
                   [work] { return runOurs(work()); },
                   [work] { return runBaseline(work()); },
                   count >= 10000 ? 3 : 7);
    }
    return runner.exec();
}
