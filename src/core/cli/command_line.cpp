#include "core/cli/command_line.h"

#include "core/exports/table_export.h"
#include "core/files/safe_file.h"
#include "core/history/backfill.h"
#include "core/net/network_page_fetcher.h"
#include "core/net/web_address.h"
#include "core/numbers/numbers.h"
#include "core/product/product.h"
#include "core/results/results_model.h"
#include "core/results/saved_search.h"
#include "core/scan/query_prefixes.h"
#include "core/scan/scan_run.h"
#include "core/schedule/desktop_notifications.h"
#include "core/schedule/run_record.h"
#include "core/schedule/user_units.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "core/urllist/url_list_file.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QUrl>

#include <optional>

namespace tally::cli {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

// The options that take a value, and the one that does not.
const QStringList valueOptions = {QStringLiteral("--scan"),
                                  QStringLiteral("--save"),
                                  QStringLiteral("--csv"),
                                  QStringLiteral("--json"),
                                  QStringLiteral("--export-history"),
                                  QStringLiteral("--source"),
                                  QStringLiteral("--backfill"),
                                  QStringLiteral("--months"),
                                  QStringLiteral("--schedule"),
                                  QStringLiteral("--list"),
                                  QStringLiteral("--every"),
                                  QStringLiteral("--at"),
                                  QStringLiteral("--day"),
                                  QStringLiteral("--notify-drop"),
                                  QStringLiteral("--unschedule"),
                                  QStringLiteral("--run-schedule")};
const QStringList flagOptions = {QStringLiteral("--help"), QStringLiteral("-h"),
                                 QStringLiteral("--version"), QStringLiteral("--quiet"),
                                 QStringLiteral("--schedules")};
// The options that name a command without a window, and those each of them takes besides.
const QStringList commandOptions = {
    QStringLiteral("--scan"),        QStringLiteral("--export-history"),
    QStringLiteral("--backfill"),    QStringLiteral("--schedule"),
    QStringLiteral("--unschedule"),  QStringLiteral("--schedules"),
    QStringLiteral("--run-schedule")};

// The toolkit's own options of a window, which it also takes with two dashes.
const QStringList toolkitOptions =
    QStringLiteral("platform platformpluginpath platformtheme plugin qwindowgeometry qwindowicon "
                   "qwindowtitle reverse session display geometry name title style stylesheet "
                   "widgetcount sync nograb dograb visual")
        .split(QLatin1Char(' '));

QString optionName(const QString& argument) {
    const qsizetype eq = argument.indexOf(QLatin1Char('='));
    return argument.startsWith(QLatin1String("--")) && eq > 0 ? argument.left(eq) : argument;
}

void say(QIODevice* device, const QString& text) {
    if (device)
        device->write(text.toLocal8Bit());
}

// A character device (/dev/null, /dev/stdout, a terminal): written to as it is, never replaced.
bool isCharacterDevice(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

// An output's target, written as the output is made: "-" is standard output, a character device
// is written as it is, anything else a file replaced atomically once whole (close()). Whatever
// failed is said on standard error by close(), which is then false.
class OutputTarget {
public:
    OutputTarget(const QString& target, QIODevice* out, QIODevice* err)
        : target_(target), out_(out), err_(err) {
        if (target == QLatin1String("-")) {
            ok_ = out != nullptr;
        } else if (isCharacterDevice(target)) {
            device_ = std::make_unique<QFile>(target);
            ok_ = device_->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        } else {
            file_ = std::make_unique<AtomicFileWriter>(target);
            outcome_ = file_->open();
            ok_ = outcome_.ok();
        }
    }

    bool write(QByteArrayView piece) {
        if (!ok_)
            return false;
        if (file_)
            ok_ = file_->write(piece.data(), piece.size());
        else if (device_)
            ok_ = device_->write(piece.data(), piece.size()) == piece.size();
        else
            ok_ = out_->write(piece.data(), piece.size()) == piece.size();
        if (!ok_ && file_)
            outcome_ = FileOutcome::failure(file_->reason());
        return ok_;
    }

    bool close() {
        if (ok_ && file_) {
            outcome_ = file_->commit();
            ok_ = outcome_.ok();
        }
        if (ok_)
            return true;
        if (!file_ && !device_)
            say(err_, Text::tr("tallyscope: standard output could not be written\n"));
        else
            say(err_, Text::tr("tallyscope: %1 could not be written: %2\n")
                          .arg(QDir::toNativeSeparators(target_),
                               device_ ? device_->errorString() : outcome_.reason()));
        return false;
    }

private:
    QString target_;
    QIODevice* out_;
    QIODevice* err_;
    std::unique_ptr<QFile> device_;
    std::unique_ptr<AtomicFileWriter> file_;
    FileOutcome outcome_ = FileOutcome::success();
    bool ok_ = false;
};

// Writes an output to its target as it is made, piece by piece (OutputTarget). False, with the
// reason on standard error, when it could not be written.
using OutputPieces = std::function<bool(const std::function<bool(QByteArrayView)>& sink)>;
bool writeOutput(const QString& target, const OutputPieces& pieces, QIODevice* out,
                 QIODevice* err) {
    OutputTarget output(target, out, err);
    pieces([&output](QByteArrayView piece) { return output.write(piece); });
    return output.close();
}

bool writeOutput(const QString& target, const QByteArray& bytes, QIODevice* out, QIODevice* err) {
    return writeOutput(
        target, [&bytes](const std::function<bool(QByteArrayView)>& sink) { return sink(bytes); },
        out, err);
}

// What names the list in messages: its file, or standard input.
QString listName(const QString& listFile) {
    return listFile == QLatin1String("-") ? Text::tr("standard input")
                                          : QDir::toNativeSeparators(listFile);
}

// An output that could not be written, found before the work that fills it: its message and
// exit code, or nothing.
struct OutputRefusal {
    QString message;
    int code = ExitSuccess;
};

// The outputs checked before the first request: none may be the list itself or the other
// output (through another name, a link or standard input included: a scan would overwrite what
// it reads), and each must be a file that can be created or replaced now.
std::optional<OutputRefusal> checkOutputs(const QString& listFile,
                                          const QList<std::pair<QString, QString>>& targets) {
    const QString list = listFile == QLatin1String("-") ? QStringLiteral("/dev/stdin") : listFile;
    // A character device (the cron idiom --csv /dev/null) is neither the list nor a file to make.
    const auto plainFile = [](const QString& target) {
        return !target.isEmpty() && target != QLatin1String("-") && !isCharacterDevice(target);
    };
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const auto& [option, target] = targets.at(i);
        if (!plainFile(target))
            continue;
        if (!list.isEmpty() && isSameFile(target, list))
            return OutputRefusal{Text::tr("%1 %2 is the URL list itself")
                                     .arg(option, QDir::toNativeSeparators(target)),
                                 ExitBadInput};
        for (qsizetype j = 0; j < i; ++j)
            if (plainFile(targets.at(j).second) && isSameFile(target, targets.at(j).second))
                return OutputRefusal{
                    Text::tr("%1 and %2 name the same file %3")
                        .arg(targets.at(j).first, option, QDir::toNativeSeparators(target)),
                    ExitBadInput};
    }
    for (const auto& [option, target] : targets) {
        if (!target.isEmpty() && target != QLatin1String("-") && isCharacterDevice(target) &&
            ::access(QFile::encodeName(target).constData(), W_OK) != 0)
            return OutputRefusal{Text::tr("%1 could not be written: %2")
                                     .arg(QDir::toNativeSeparators(target), systemReason(errno)),
                                 ExitNotWritten};
        if (plainFile(target))
            if (const FileOutcome writable = checkFileWritable(target); !writable)
                return OutputRefusal{Text::tr("%1 could not be written: %2")
                                         .arg(QDir::toNativeSeparators(target), writable.reason()),
                                     ExitNotWritten};
    }
    return std::nullopt;
}

// settings.ini or engines.ini there but unreadable: a scan would ask the listed sites themselves
// or fail every request, so none is made.
QString unreadableSettings() {
    QStringList said;
    for (const UnreadableSettingsFile& f : unreadableSettingsFiles(ProgramFolder::settingsIni()))
        said
            << Text::tr("%1 could not be read: %2").arg(QDir::toNativeSeparators(f.file), f.reason);
    return said.join(QStringLiteral("; "));
}

} // namespace

int scanExitCode(bool notWritten, bool anyCount, bool anyFailure, bool sourceRefused) {
    if (notWritten)
        return ExitNotWritten;
    if (sourceRefused)
        return ExitSourceRefused;
    if (!anyCount)
        return ExitNothingCounted;
    return anyFailure ? ExitSomeFailed : ExitSuccess;
}

namespace {

QString nameProblem(SearchNameProblem problem, const QString& name) {
    switch (problem) {
    case SearchNameProblem::Empty:
        return Text::tr("a saved search needs a name");
    case SearchNameProblem::BadCharacter:
        return Text::tr("the saved search name \"%1\" holds \"/\" or a control character")
            .arg(name);
    case SearchNameProblem::TooLong:
        return Text::tr("the saved search name \"%1\" is too long for a file name").arg(name);
    case SearchNameProblem::None:
        break;
    }
    return QString();
}

// The scan of a list without a window: one ScanRun with a fetcher per engine, as the window
// makes it; each row is made as the results model makes it, and once finished saved when asked and
// written into the tables, then let go: the memory of a scan does not grow with its list.
class ScanCommand : public QObject {
public:
    ScanCommand(const Options& options, const QStringList& urls, const QStringList& saveNames,
                QIODevice* out, QIODevice* err)
        : options_(options), urls_(urls), saveNames_(saveNames), out_(out), err_(err) {
        for (int e = 0; e < EngineCount; ++e)
            fetchers_.append(new NetworkPageFetcher(this));
        run_ = new ScanRun(urls, ProgramFolder::settingsIni(), fetchers_, this);
        connect(run_, &ScanRun::started, this, &ScanCommand::openOutputs);
        connect(run_, &ScanRun::rowStarted, this, [this](int, const QString& url) {
            row_ = std::make_shared<ResultRecord>();
            row_->url = url;
            row_->engines = run_->snapshot();
        });
        connect(run_, &ScanRun::engineResult, this,
                [this](int, int slot, const EngineOutcome& outcome) {
                    if (row_ && slot >= 0 && slot < EngineCount)
                        row_->settle(slot, outcome);
                });
        connect(run_, &ScanRun::rowFinished, this, [this](int position) { rowFinished(position); });
        connect(run_, &ScanRun::completed, this,
                [this](const QString& text, qint64, bool) { summary_ = text; });
        connect(run_, &ScanRun::finished, this, &ScanCommand::finish);
    }

    int exitCode() const { return exitCode_; }
    bool isDone() const { return done_ && !notifier_.waiting(); }

    void start() { run_->start(); }

private:
    // The tables, opened as the run starts (or at its end, for an empty list).
    void openOutputs() {
        if (outputsOpen_)
            return;
        outputsOpen_ = true;
        QString csvTarget = options_.csvTarget;
        if (csvTarget.isEmpty() && options_.jsonTarget.isEmpty() && options_.saveName.isEmpty())
            csvTarget = QStringLiteral("-");
        if (!csvTarget.isEmpty()) {
            csv_ = std::make_unique<OutputTarget>(csvTarget, out_, err_);
            csv_->write(resultsCsvHeader(*run_->snapshot()));
        }
        if (!options_.jsonTarget.isEmpty()) {
            json_ = std::make_unique<OutputTarget>(options_.jsonTarget, out_, err_);
            jsonWriter_ = std::make_unique<ResultsJsonWriter>(
                historyToday(), [this](QByteArrayView piece) { return json_->write(piece); });
        }
    }

    void rowFinished(int position) {
        if (!row_)
            return;
        row_->finish();
        const std::shared_ptr<const ResultRecord> finished = std::exchange(row_, nullptr);
        const ResultRecord* row = finished.get();
        int failed = 0;
        int asked = 0; // a switched-off slot asks nothing
        for (int s = 0; s < EngineCount; ++s) {
            failed += row->isFailure(s) ? 1 : 0;
            asked += row->isOff(s) ? 0 : 1;
        }
        if (!options_.quiet) {
            QString line = QStringLiteral("[%1/%2] %3: %4")
                               .arg(position)
                               .arg(urls_.size())
                               .arg(row->url, row->totalText());
            if (failed > 0)
                line += Text::tr(" (%1 of %2 requests failed)").arg(failed).arg(asked);
            say(err_, line + QLatin1Char('\n'));
        }
        if (!saveNames_.isEmpty())
            save(*row, saveNames_.at(position - 1));
        if (csv_)
            csv_->write(resultsCsvRow(*row, *run_->snapshot()));
        if (jsonWriter_)
            jsonWriter_->add(*row);
        ++rows_;
        bool counted = false;
        for (int slot = 0; slot < EngineCount; ++slot)
            if (row->value(slot)) {
                ++counted_;
                counted = true;
            }
        // What a scheduled run may tell the desktop about: the rows it saved a count of.
        if (counted && options_.command == Command::RunSchedule && position <= saveNames_.size())
            savedRows_.append({row->url, saveNames_.at(position - 1)});
    }

    // Today's counts of a row into its saved search, as the save dialog writes them (under the
    // captions the run fetched them with): appended to an existing saved search, or a new one made
    // under the name.
    void save(const ResultRecord& row, const QString& name) {
        bool exists = false;
        const QString file = savedSearchFileFor(name, &exists);
        const SaveMode mode = exists ? SaveMode::Append : SaveMode::NewSearch;
        QString reason;
        switch (saveSearchRow(savedCells(row), file, mode, historyToday(), &reason)) {
        case SaveResult::Saved:
            break;
        case SaveResult::NothingToSave:
            say(err_, Text::tr("tallyscope: nothing saved for %1: no engine gave a count\n")
                          .arg(row.url));
            break;
        case SaveResult::Refused:
            reason = Text::tr("an engine's caption or count holds what a saved search "
                              "cannot keep");
            [[fallthrough]];
        case SaveResult::Failed:
            say(err_, Text::tr("tallyscope: the counts of %1 could not be saved to %2: %3\n")
                          .arg(row.url, QDir::toNativeSeparators(file), reason));
            notWritten_ = true;
            break;
        }
    }

    void finish() {
        const QList<ScanFailure> failures = run_->failures();
        if (summary_.isEmpty())
            summary_ = ScanRun::completionText(0);
        // Quiet: nothing at all unless something failed.
        if (!options_.quiet || !failures.isEmpty())
            say(err_, summary_ + QLatin1Char('\n'));
        constexpr int Listed = 20;
        for (qsizetype i = 0; i < failures.size() && i < Listed; ++i)
            say(err_, QStringLiteral("  %1, %2: %3\n")
                          .arg(failures.at(i).url, failures.at(i).engine, failures.at(i).reason));
        if (failures.size() > Listed)
            say(err_, Text::tr("  ... and %1 more\n").arg(failures.size() - Listed));

        openOutputs();
        if (csv_ && !csv_->close())
            notWritten_ = true;
        if (jsonWriter_)
            jsonWriter_->finish();
        if (json_ && !json_->close())
            notWritten_ = true;

        // The run in the record of runs: what it counted, and one line per source that failed.
        RunRecord r = recordOfScan({}, failures);
        r.urls = rows_;
        r.counted = counted_;
        exitCode_ = scanExitCode(notWritten_, r.counted > 0, r.failed > 0, r.sourceRefused);
        r.when = QDateTime::currentDateTime();
        r.schedule = options_.command == Command::RunSchedule ? options_.schedule.name : QString();
        r.list = options_.listFile;
        r.exitCode = exitCode_;
        if (const FileOutcome written = appendRunRecord(r); !written)
            say(err_, Text::tr("tallyscope: the run could not be recorded in %1: %2\n")
                          .arg(QDir::toNativeSeparators(runRecordFile()), written.reason()));
        if (options_.command == Command::RunSchedule)
            notify(failures);
        done_ = true;
        // The run's result is recorded and its exit code settled; what it told the desktop stays
        // clickable a while.
        if (!notifier_.waiting()) {
            QCoreApplication::exit(exitCode_);
            return;
        }
        if (!options_.quiet)
            say(err_, Text::tr("tallyscope: a click on the notification opens the history; "
                               "waiting for it at most %n minutes\n",
                               nullptr, NotificationClickWaitMs / 60000));
        QObject::connect(&notifier_, &DesktopNotifier::settled, qApp,
                         [this] { QCoreApplication::exit(exitCode_); });
    }

    // What a scheduled run tells the desktop: a source that refused, and each site whose count
    // of a source fell by more than the schedule's share since its previous saved point.
    void notify(const QList<ScanFailure>& failures) {
        const Schedule& schedule = options_.schedule;
        struct Notice {
            QString summary;
            QString body;
            QString history; // the saved search a click opens
        };
        QList<Notice> notices;
        if (schedule.notifyBroken) {
            QStringList broken;
            for (const ScanFailure& f : failures)
                if (isSourceRefusal(f.kind) && !broken.contains(f.engine)) {
                    broken << f.engine;
                    notices.append({Text::tr("Tallyscope: %1 refused").arg(f.engine),
                                    f.reason.left(300), QString()});
                }
        }
        // Only what this run saved: a row without a count left its saved search as it was.
        for (const auto& [url, saveName] : std::as_const(savedRows_)) {
            const auto saved = findSavedSearch(saveName);
            if (!saved)
                continue;
            QStringList lines;
            for (const CountDrop& drop : countDrops(savedSearchPath(saved->fileName),
                                                    historyToday(), schedule.notifyDropPercent))
                lines << dropText(drop);
            if (!lines.isEmpty())
                notices.append(
                    {Text::tr("Tallyscope: %1 dropped").arg(url), lines.join('\n'), saved->name});
        }
        for (const Notice& notice : notices) {
            say(err_, notice.summary + QStringLiteral(": ") + notice.body + QLatin1Char('\n'));
            if (QString why; !notifier_.notify(notice.summary, notice.body, notice.history, &why))
                say(err_, Text::tr("tallyscope: the desktop was not told: %1\n").arg(why));
        }
    }

    Options options_;
    DesktopNotifier notifier_;
    QStringList urls_;
    QStringList saveNames_;
    QIODevice* out_;
    QIODevice* err_;
    QList<PageFetcher*> fetchers_;
    ScanRun* run_ = nullptr;
    std::shared_ptr<ResultRecord> row_; // the row being scanned
    std::unique_ptr<OutputTarget> csv_;
    std::unique_ptr<OutputTarget> json_;
    std::unique_ptr<ResultsJsonWriter> jsonWriter_;
    bool outputsOpen_ = false;
    int rows_ = 0;
    int counted_ = 0;
    QList<std::pair<QString, QString>> savedRows_; // URL and saved-search name
    QString summary_;
    bool notWritten_ = false;
    bool done_ = false;
    int exitCode_ = ExitSuccess;
};

int fail(QIODevice* err, const QString& message, int code = ExitBadInput) {
    say(err, QStringLiteral("tallyscope: ") + message + QLatin1Char('\n'));
    return code;
}

// The URLs of the list, or the exit code of a list that gives none (said on err).
std::optional<int> readList(const QString& listFile, QStringList* urls, QIODevice* err) {
    QString reason;
    if (!readUrlListSource(listFile, urls, &reason))
        return fail(
            err, Text::tr("the URL list %1 could not be read: %2").arg(listName(listFile), reason));
    if (urls->isEmpty())
        return fail(err, Text::tr("the URL list %1 holds no URLs").arg(listName(listFile)));
    if (const QString unreadable = unreadableSettings(); !unreadable.isEmpty())
        return fail(err, unreadable + Text::tr("; nothing was asked"));
    return std::nullopt;
}

// Every URL's saved search as the pattern names it, checked before the first request; the exit
// code when one cannot be (said on err).
std::optional<int> saveNamesOf(const QStringList& urls, const QString& pattern,
                               QStringList* saveNames, QIODevice* err) {
    QHash<QString, QString> urlOfName;
    for (const QString& url : urls) {
        const QString name = savedSearchNameFor(pattern, url);
        if (name.isEmpty())
            return fail(err, Text::tr("%1 has no host for \"{host}\" in the saved "
                                      "search name")
                                 .arg(url));
        if (const SearchNameProblem problem = checkSearchName(name);
            problem != SearchNameProblem::None)
            return fail(err, nameProblem(problem, name));
        if (urlOfName.contains(name))
            return fail(err, Text::tr("%1 and %2 would both be saved as \"%3\"; put "
                                      "\"{host}\" in the name to save each site "
                                      "on its own")
                                 .arg(urlOfName.value(name), url, name));
        urlOfName.insert(name, url);
        *saveNames << name;
    }
    if (const FileOutcome made = makeFolder(savedSearchFolder()); !made)
        return fail(err, made.reason(), ExitNotWritten);
    return std::nullopt;
}

int runScan(const Options& options, QIODevice* out, QIODevice* err) {
    QStringList urls;
    if (const std::optional<int> refused = readList(options.listFile, &urls, err))
        return *refused;
    if (const auto refusal =
            checkOutputs(options.listFile, {{QStringLiteral("--csv"), options.csvTarget},
                                            {QStringLiteral("--json"), options.jsonTarget}}))
        return fail(err, refusal->message, refusal->code);

    QStringList saveNames;
    if (!options.saveName.isEmpty())
        if (const std::optional<int> refused = saveNamesOf(urls, options.saveName, &saveNames, err))
            return *refused;

    // A store that cannot be read is said before anything else: its API keys are missing.
    if (const QString problem = userSettingsProblem(); !problem.isEmpty())
        say(err, QStringLiteral("tallyscope: ") + problem + QLatin1Char('\n'));
    if (!options.quiet)
        say(err, Text::tr("Scanning %1 URLs with the settings of %2\n")
                     .arg(urls.size())
                     .arg(QDir::toNativeSeparators(ProgramFolder::path())));
    ScanCommand command(options, urls, saveNames, out, err);
    command.start();
    if (!command.isDone())
        QCoreApplication::exec();
    return command.exitCode();
}

// The past of each URL's saved search filled in from every column that can look back.
int runBackfill(const Options& options, QIODevice* err) {
    QStringList urls;
    if (const std::optional<int> refused = readList(options.listFile, &urls, err))
        return *refused;
    QStringList names;
    if (const std::optional<int> refused = saveNamesOf(urls, options.saveName, &names, err))
        return *refused;
    QList<BackfillSite> sites;
    for (qsizetype i = 0; i < urls.size(); ++i)
        sites.append({urls.at(i), savedSearchFileFor(names.at(i))});
    const EngineSet engines = programEngines();
    const QDate today = historyToday();
    const BackfillPlan plan =
        planBackfill(engines, sites, backfillSince(today, options.backfillMonths), today);
    for (const QString& line : plan.cannot)
        if (!options.quiet || plan.columns.isEmpty())
            say(err, Text::tr("  not filled in: %1\n").arg(line));
    if (plan.columns.isEmpty())
        return fail(err, Text::tr("no column can look back; nothing was asked"));
    if (!options.quiet)
        say(err,
            Text::tr("Filling in the past of %1 sites since %2: %3\n")
                .arg(urls.size())
                .arg(plan.since.toString(Qt::ISODate), plan.describe().join(QStringLiteral("; "))));

    QObject owner;
    QList<PageFetcher*> fetchers;
    for (int f = 0; f < BackfillRequestsAtOnce; ++f)
        fetchers << new NetworkPageFetcher(&owner);
    Backfill backfill(plan, engines, fetchers);
    bool notWritten = false, anyCount = false, anyFailure = false, refusedSource = false;
    QObject::connect(&backfill, &Backfill::resultReady, &owner, [&](const BackfillResult& r) {
        notWritten = notWritten || r.notWritten;
        anyCount = anyCount || r.received > 0;
        anyFailure = anyFailure || r.failure.has_value();
        refusedSource = refusedSource || (r.failure && isSourceRefusal(r.failure->failure));
        if (r.failure)
            say(err, QStringLiteral("  %1, %2: %3\n").arg(r.url, r.caption, r.failure->reason));
        else if (!options.quiet)
            say(err, Text::tr("  %1, %2: %3 given, %4 new\n")
                         .arg(r.url, r.caption)
                         .arg(r.received)
                         .arg(r.added));
    });
    QObject::connect(&backfill, &Backfill::finished, &owner, [] { QCoreApplication::exit(0); });
    backfill.start();
    QCoreApplication::exec();
    return scanExitCode(notWritten, anyCount, anyFailure, refusedSource);
}

int runSchedule(const Options& options, QIODevice* out, QIODevice* err) {
    const Schedule& s = options.schedule;
    QStringList urls;
    QString reason;
    if (!readUrlListSource(s.listFile, &urls, &reason))
        return fail(
            err,
            Text::tr("the URL list %1 could not be read: %2").arg(listName(s.listFile), reason));
    if (urls.isEmpty())
        return fail(err, Text::tr("the URL list %1 holds no URLs").arg(listName(s.listFile)));
    const QString program = QCoreApplication::applicationFilePath();
    if (QString why; !userSystemdRuns(&why)) {
        // No units: the schedule is kept for the crontab line that runs it instead.
        if (const FileOutcome kept = writeSchedule(s); !kept)
            return fail(err, kept.reason(), ExitNotWritten);
        return fail(err, Text::tr("no user systemd instance answers (%1); the same schedule as a "
                                  "crontab line (crontab -e):\n%2")
                             .arg(why, crontabLine(s, program)));
    }
    if (const FileOutcome installed = installSchedule(s, program); !installed) {
        removeSchedule(s.name);
        return fail(err, installed.reason(), ExitNotWritten);
    }
    say(out,
        Text::tr("%1: %2, %3 (%4)\n")
            .arg(s.name, s.describe(), QDir::toNativeSeparators(s.listFile), timerName(s.name)));
    return ExitSuccess;
}

int runUnschedule(const Options& options, QIODevice* err) {
    if (!QFileInfo::exists(scheduleFile(options.schedule.name)))
        return fail(err, Text::tr("there is no schedule named \"%1\"").arg(options.schedule.name));
    if (const FileOutcome removed = removeSchedule(options.schedule.name); !removed)
        return fail(err, removed.reason(), ExitNotWritten);
    return ExitSuccess;
}

int runListSchedules(QIODevice* out) {
    const QList<RunRecord> runs = recentRuns();
    for (const QString& name : scheduleNames()) {
        QString problem;
        const std::optional<Schedule> s = readSchedule(name, &problem);
        QString line = name + QStringLiteral("\t") + (s ? s->describe() : problem);
        if (const QDateTime next = nextScheduledRun(name); next.isValid())
            line += QStringLiteral("\t") +
                    Text::tr("next %1").arg(next.toLocalTime().toString(Qt::ISODate));
        for (const RunRecord& r : runs)
            if (r.schedule == name) {
                line += QStringLiteral("\t") + Text::tr("last %1: %2 counted, %3 failed, exit %4")
                                                   .arg(r.when.toString(Qt::ISODate))
                                                   .arg(r.counted)
                                                   .arg(r.failed)
                                                   .arg(r.exitCode);
                break;
            }
        say(out, line + QLatin1Char('\n'));
    }
    return ExitSuccess;
}

// What a schedule's service runs: its list scanned and saved as --scan would, then recorded and
// told.
int runRunSchedule(const Options& options, QIODevice* out, QIODevice* err) {
    QString problem;
    const std::optional<Schedule> s = readSchedule(options.schedule.name, &problem);
    if (!s)
        return fail(err, problem);
    if (!QFileInfo::exists(s->listFile))
        return fail(err,
                    Text::tr("the URL list %1 of the schedule %2 is gone")
                        .arg(QDir::toNativeSeparators(s->listFile), s->name),
                    ExitNotWritten);
    Options scan = options;
    scan.schedule = *s;
    scan.listFile = s->listFile;
    scan.saveName = s->saveName;
    return runScan(scan, out, err);
}

int runExportHistory(const Options& options, QIODevice* out, QIODevice* err) {
    QStringList files;
    for (const QString& name : QStringList{options.historyName} + options.moreHistories) {
        const std::optional<SavedSearchEntry> entry = findSavedSearch(name);
        if (!entry)
            return fail(err, Text::tr("there is no saved search named \"%1\" in %2")
                                 .arg(name, QDir::toNativeSeparators(savedSearchFolder())));
        files << savedSearchPath(entry->fileName);
        if (const FileOutcome readable = checkSavedSearchReadable(files.constLast()); !readable)
            return fail(err,
                        Text::tr("%1 could not be read: %2")
                            .arg(QDir::toNativeSeparators(files.constLast()), readable.reason()));
    }
    // Without --json the CSV goes to standard output, as it always did.
    const QString csvTarget = options.csvTarget.isEmpty() && options.jsonTarget.isEmpty()
                                  ? QStringLiteral("-")
                                  : options.csvTarget;
    if (const auto refusal =
            checkOutputs(QString(), {{QStringLiteral("--csv"), csvTarget},
                                     {QStringLiteral("--json"), options.jsonTarget}}))
        return fail(err, refusal->message, refusal->code);
    const bool sideBySide = !options.moreHistories.isEmpty();
    const QString& section = options.historySource;
    const auto csvOf = [&](QByteArray* bytes, QString* problem) {
        return sideBySide ? sitesHistoryCsv(files, section, bytes)
                          : historyCsv(files.constFirst(), bytes, problem);
    };
    const auto jsonOf = [&](QByteArray* bytes, QString* problem) {
        return sideBySide ? sitesHistoryJson(files, section, bytes, problem)
                          : historyJson(files.constFirst(), bytes, problem);
    };
    QByteArray csv;
    QByteArray json;
    QString problem;
    for (const auto& [target, bytes, isCsv] :
         {std::tuple{csvTarget, &csv, true}, std::tuple{options.jsonTarget, &json, false}}) {
        if (target.isEmpty())
            continue;
        const FileOutcome read = isCsv ? csvOf(bytes, &problem) : jsonOf(bytes, &problem);
        if (!read)
            return fail(err, Text::tr("a saved search could not be read: %1").arg(read.reason()));
    }
    if (!problem.isEmpty()) // named once, whichever output met it
        say(err, QStringLiteral("tallyscope: ") + problem + QLatin1Char('\n'));
    bool written = csvTarget.isEmpty() || writeOutput(csvTarget, csv, out, err);
    written = (options.jsonTarget.isEmpty() || writeOutput(options.jsonTarget, json, out, err)) &&
              written;
    return written ? ExitSuccess : ExitNotWritten;
}

} // namespace

bool isCommandLineRun(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const QString name = optionName(argument);
        if (name == QLatin1String("--history")) { // the window's, with its value
            i += name == argument ? 1 : 0;
            continue;
        }
        if (valueOptions.contains(name) || flagOptions.contains(name))
            return true;
        // Any other "--option" is the program's to refuse, unless the toolkit takes it.
        if (name.startsWith(QLatin1String("--")) && name.size() > 2 &&
            !toolkitOptions.contains(name.mid(2)))
            return true;
    }
    return false;
}

WindowOptions parseWindowArguments(const QStringList& arguments) {
    WindowOptions options;
    if (arguments.isEmpty())
        return options;
    const QString& first = arguments.constFirst();
    const QString name = optionName(first);
    if (name != QLatin1String("--history")) {
        options.error = Text::tr("unexpected argument %1").arg(first);
        return options;
    }
    const bool joined = name != first;
    const qsizetype used = joined ? 1 : 2;
    const QString value = joined ? first.mid(name.size() + 1) : arguments.value(1);
    if (value.isEmpty())
        options.error = Text::tr("--history needs the name of a saved search");
    else if (arguments.size() > used)
        options.error = Text::tr("unexpected argument %1").arg(arguments.at(used));
    else
        options.history = searchNameOfTyped(value);
    return options;
}

namespace {

// The options as they were given, before any is read for its meaning.
struct GivenOptions {
    QHash<QString, QString> values; // by name
    QStringList flags;
    QStringList moreHistories; // --export-history A B C: the sites side by side
    QString error;

    GivenOptions& refuse(const QString& why) {
        error = why;
        return *this;
    }
};

GivenOptions readGivenOptions(const QStringList& arguments) {
    GivenOptions given;
    QHash<QString, QString>& values = given.values;
    QString previous;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const QString name = optionName(argument);
        if (previous == QLatin1String("--export-history") && !argument.startsWith('-')) {
            given.moreHistories << argument;
            continue;
        }
        previous = name;
        if (flagOptions.contains(name)) {
            if (name != argument)
                return given.refuse(Text::tr("%1 takes no value").arg(name));
            given.flags << (name == QLatin1String("-h") ? QStringLiteral("--help") : name);
            continue;
        }
        if (!valueOptions.contains(name))
            return given.refuse(argument.startsWith(QLatin1Char('-'))
                                    ? Text::tr("unknown option %1").arg(argument)
                                    : Text::tr("unexpected argument %1").arg(argument));
        if (values.contains(name))
            return given.refuse(Text::tr("%1 is given twice").arg(name));
        QString value;
        if (name != argument) {
            value = argument.mid(name.size() + 1);
        } else {
            if (i + 1 >= arguments.size())
                return given.refuse(Text::tr("%1 needs a value").arg(name));
            value = arguments.at(++i);
        }
        if (value.isEmpty())
            return given.refuse(Text::tr("%1 needs a value").arg(name));
        values.insert(name, value);
    }
    return given;
}

// A file named on the command line: "-" (standard output) as it is, any other made absolute.
QString fileArgument(const QString& value) {
    return value == QLatin1String("-") ? value : QFileInfo(value).absoluteFilePath();
}

// --backfill LIST --save NAME [--months N]; the problem, if any.
QString readBackfill(const QHash<QString, QString>& values, const QString& command,
                     Options& options) {
    options.command = Command::Backfill;
    options.listFile = fileArgument(values.value(command));
    if (!values.contains(QStringLiteral("--save")))
        return Text::tr("--backfill needs --save NAME (the saved searches to fill in)");
    options.saveName = searchNameOfTyped(values.value(QStringLiteral("--save")));
    if (values.contains(QStringLiteral("--months"))) {
        const std::optional<qint64> months =
            readWholeNumber(values.value(QStringLiteral("--months")));
        if (!months || *months < 1 || *months > MaxBackfillMonths)
            return Text::tr("--months takes a whole number from 1 to %1, not %2")
                .arg(MaxBackfillMonths)
                .arg(values.value(QStringLiteral("--months")));
        options.backfillMonths = int(*months);
    }
    return QString();
}

// --schedule NAME --list FILE [--every …] [--at HH:MM] [--day DAY] [--notify-drop N] [--save NAME];
// the problem, if any.
QString readSchedule(const QHash<QString, QString>& values, const QString& command,
                     Options& options) {
    Schedule& s = options.schedule;
    s.name = values.value(command);
    if (!values.contains(QStringLiteral("--list")))
        return Text::tr("--schedule needs --list FILE");
    s.listFile = fileArgument(values.value(QStringLiteral("--list")));
    const QString every = values.value(QStringLiteral("--every"), QStringLiteral("daily"));
    if (every == QLatin1String("weekly")) {
        s.every = Schedule::Every::Weekly;
    } else if (every.endsWith(QLatin1Char('h'))) {
        s.every = Schedule::Every::Hours;
        s.hours = readWholeNumber(every.chopped(1)).value_or(0);
    } else if (every != QLatin1String("daily")) {
        return Text::tr("--every takes daily, weekly or a number of hours such as 6h, "
                        "not %1")
            .arg(every);
    }
    s.at = QTime::fromString(values.value(QStringLiteral("--at"), QStringLiteral("03:00")),
                             QStringLiteral("HH:mm"));
    if (values.contains(QStringLiteral("--day"))) {
        static const QStringList days{"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
        s.weekday = int(days.indexOf(values.value(QStringLiteral("--day")).toLower())) + 1;
    }
    if (values.contains(QStringLiteral("--notify-drop")))
        s.notifyDropPercent =
            int(readWholeNumber(values.value(QStringLiteral("--notify-drop"))).value_or(-1));
    if (values.contains(QStringLiteral("--save")))
        s.saveName = values.value(QStringLiteral("--save"));
    return scheduleProblem(s);
}

} // namespace

Options parseArguments(const QStringList& arguments) {
    Options options;
    if (!isCommandLineRun(arguments))
        return options; // the window's, and the toolkit's
    auto refuse = [&options](const QString& why) {
        options.error = why;
        return options;
    };
    const GivenOptions given = readGivenOptions(arguments);
    if (!given.error.isEmpty())
        return refuse(given.error);
    const QHash<QString, QString>& values = given.values;
    const QStringList& flags = given.flags;
    if (flags.contains(QLatin1String("--help"))) {
        options.command = Command::Help;
        return options;
    }
    if (flags.contains(QLatin1String("--version"))) {
        options.command = Command::Version;
        return options;
    }
    options.quiet = flags.contains(QLatin1String("--quiet"));
    if (values.contains(QStringLiteral("--csv")))
        options.csvTarget = fileArgument(values.value(QStringLiteral("--csv")));
    if (values.contains(QStringLiteral("--json")))
        options.jsonTarget = fileArgument(values.value(QStringLiteral("--json")));
    if (options.csvTarget == QLatin1String("-") && options.jsonTarget == QLatin1String("-"))
        return refuse(Text::tr("--csv and --json cannot both go to standard output"));
    QStringList commands;
    for (const QString& option : commandOptions)
        if (values.contains(option) || flags.contains(option))
            commands << option;
    if (commands.size() != 1)
        return refuse(
            commands.isEmpty()
                ? Text::tr("--scan LIST, --backfill LIST or --export-history NAME is needed")
                : Text::tr("%1 and %2 cannot be combined").arg(commands.at(0), commands.at(1)));
    const QString command = commands.first();
    // What each command takes besides its own option.
    static const QHash<QString, QStringList> takes{
        {QStringLiteral("--scan"),
         {QStringLiteral("--save"), QStringLiteral("--csv"), QStringLiteral("--json"),
          QStringLiteral("--quiet")}},
        {QStringLiteral("--export-history"),
         {QStringLiteral("--csv"), QStringLiteral("--json"), QStringLiteral("--source")}},
        {QStringLiteral("--backfill"),
         {QStringLiteral("--save"), QStringLiteral("--months"), QStringLiteral("--quiet")}},
        {QStringLiteral("--schedule"),
         {QStringLiteral("--list"), QStringLiteral("--every"), QStringLiteral("--at"),
          QStringLiteral("--day"), QStringLiteral("--notify-drop"), QStringLiteral("--save")}},
        {QStringLiteral("--run-schedule"), {QStringLiteral("--quiet")}}};
    for (const QString& given : QStringList(values.keys()) + flags) {
        if (given == command || takes.value(command).contains(given))
            continue;
        for (const QString& owner : commandOptions)
            if (takes.value(owner).contains(given))
                return refuse(Text::tr("%1 belongs to %2").arg(given, owner));
    }
    if (command == QLatin1String("--export-history")) {
        options.command = Command::ExportHistory;
        options.historyName = searchNameOfTyped(values.value(QStringLiteral("--export-history")));
        for (const QString& more : given.moreHistories)
            options.moreHistories << searchNameOfTyped(more);
        options.historySource = values.value(QStringLiteral("--source"));
        if (!options.moreHistories.isEmpty() && options.historySource.isEmpty())
            return refuse(Text::tr("several saved searches side by side need --source SECTION"));
        return options;
    }
    if (command == QLatin1String("--backfill")) {
        options.command = Command::Backfill;
        if (const QString problem = readBackfill(values, command, options); !problem.isEmpty())
            return refuse(problem);
        return options;
    }
    if (command == QLatin1String("--schedules")) {
        options.command = Command::ListSchedules;
        return options;
    }
    if (command == QLatin1String("--unschedule") || command == QLatin1String("--run-schedule")) {
        options.command =
            command == QLatin1String("--unschedule") ? Command::Unschedule : Command::RunSchedule;
        options.schedule.name = values.value(command);
        return options;
    }
    if (command == QLatin1String("--schedule")) {
        if (const QString problem = readSchedule(values, command, options); !problem.isEmpty())
            return refuse(problem);
        options.command = Command::Schedule;
        return options;
    }
    options.command = Command::Scan;
    options.listFile = fileArgument(values.value(QStringLiteral("--scan")));
    options.saveName = searchNameOfTyped(values.value(QStringLiteral("--save")));
    return options;
}

QString usageText() {
    // The usual layout of a synopsis, which the manual page is made from.
    return Text::tr(
        "Usage: tallyscope [--history NAME]\n"
        "  or:  tallyscope --scan LIST [--save NAME] [--csv FILE|-] [--json FILE|-] [--quiet]\n"
        "  or:  tallyscope --backfill LIST --save NAME [--months N] [--quiet]\n"
        "  or:  tallyscope --export-history NAME [NAME2 ... --source SECTION] [--csv FILE|-]\n"
        "                  [--json FILE|-]\n"
        "  or:  tallyscope --schedule NAME --list FILE [--every daily|weekly|Nh] [--at HH:MM]\n"
        "                  [--day mon..sun] [--notify-drop PERCENT] [--save NAME]\n"
        "  or:  tallyscope --unschedule NAME | --schedules | --run-schedule NAME [--quiet]\n"
        "  or:  tallyscope --help | --version\n"
        "Without a command, tallyscope starts its window (--history NAME: at the history of\n"
        "the saved search NAME).\n"
        "\n"
        "  --scan LIST            scan the URLs of a list file (one per line; - for standard\n"
        "                         input) without a window, with the engines and settings the\n"
        "                         window uses\n"
        "  --save NAME            add today's counts to the saved search NAME (made when it\n"
        "                         does not exist; NAME.vqz is the same); {host} in NAME stands\n"
        "                         for each URL's host, one saved search per site\n"
        "  --csv FILE             write the results as CSV (- for standard output; the default\n"
        "                         when neither --json nor --save is given)\n"
        "  --json FILE            write the results as JSON (- for standard output)\n"
        "  --quiet                nothing on standard error unless something failed\n"
        "  --backfill LIST        fill in the past of each URL's saved search (--save NAME,\n"
        "                         {host} as above) from every column that can look back: the\n"
        "                         sources' own history (DataForSEO, Ahrefs; one request per\n"
        "                         site, which may cost money) and the Common Crawl releases on\n"
        "                         this disk; each point at its own date, no saved day changed\n"
        "  --months N             how far --backfill looks back (24; at most 120)\n"
        "  --export-history NAME  write the history of a saved search as CSV, one row per date\n"
        "                         (with each point's source and release where they are\n"
        "                         known), or with --json as JSON, one object per point;\n"
        "                         several names and --source SECTION: that section of each,\n"
        "                         side by side, oldest date first\n"
        "  --schedule NAME        scan the list FILE on a schedule, run by the user's systemd\n"
        "                         (a service and a timer tallyscope-NAME; a run missed while\n"
        "                         the machine was off happens at the next start): daily (the\n"
        "                         default), weekly on --day, or every N hours, at --at (03:00);\n"
        "                         each site saved as --save says ({host}); the desktop is told\n"
        "                         of a source that refused and of a count that fell by more\n"
        "                         than --notify-drop percent (10; 0 for never)\n"
        "  --unschedule NAME      remove a schedule and its units\n"
        "  --schedules            list the schedules, their next run and last result\n"
        "  --run-schedule NAME    what a schedule's service runs: its scan, saved, recorded\n"
        "                         and told; while the desktop shows what it was told (at most\n"
        "                         10 minutes) a click opens the window at the site's history\n"
        "\n"
        "Progress and a summary go to standard error. Exit status: 0 every request gave a\n"
        "count, 1 some requests failed, 2 bad arguments or unreadable input (the list,\n"
        "settings.ini, engines.ini) or an output that is the list or the other output, 3 a\n"
        "result could not be written (or a schedule's list is gone), 4 no request gave a count\n"
        "at all, 5 a source refused (a key refused, a quota spent, an engine definition that\n"
        "cannot work): check Tools > Sources in the window. A schedule's service counts 0\n"
        "and 1 as success.\n");
}

QString versionText() {
    return product().name + QLatin1Char(' ') + product().versionText() + QLatin1Char('\n');
}

QString savedSearchNameFor(const QString& pattern, const QString& url) {
    static const QLatin1String marker("{host}");
    if (!pattern.contains(marker))
        return pattern;
    const QString host = urlHost(url);
    if (host.isEmpty())
        return QString();
    QString name = pattern;
    name.replace(marker, host);
    return name;
}

int run(const Options& options, QIODevice* out, QIODevice* err) {
    if (!options.error.isEmpty()) {
        say(err, QStringLiteral("tallyscope: ") + options.error + QStringLiteral("\n\n"));
        say(err, usageText());
        return ExitBadInput;
    }
    switch (options.command) {
    case Command::Help:
        say(out, usageText());
        return ExitSuccess;
    case Command::Version:
        say(out, versionText());
        return ExitSuccess;
    case Command::Backfill:
        return runBackfill(options, err);
    case Command::Scan:
        return runScan(options, out, err);
    case Command::ExportHistory:
        return runExportHistory(options, out, err);
    case Command::Schedule:
        return runSchedule(options, out, err);
    case Command::Unschedule:
        return runUnschedule(options, err);
    case Command::ListSchedules:
        return runListSchedules(out);
    case Command::RunSchedule:
        return runRunSchedule(options, out, err);
    case Command::Window:
        break;
    }
    return ExitBadInput;
}

} // namespace tally::cli
