#include "core/options/threshold_rule.h"

#include "core/numbers/numbers.h"

namespace tally {

namespace {

// An ordinary chain is at most four boxes long. Texts near the ends of the 32-bit range can make
// the boxes chase each other for ever (medium at its lowest leaves no room for a lower low); past
// this depth a box still receives its text but no longer runs the rule.
constexpr int MaxChainDepth = 16;

class Chain {
public:
    explicit Chain(ProfileTexts& texts) : t_(texts) {}

    void run(int index, int depth) {
        if (depth > MaxChainDepth)
            return;
        QString& box = t_[index];
        if (isBlankThreshold(box))
            return;

        bool othersRead = true;
        for (int j = 0; j < 3; ++j)
            if (j != index && !readThreshold(t_[j]))
                othersRead = false;

        // Characters leave the end one at a time, the rule running again after each, until the text
        // reads (with the other boxes reading too) or is empty or a single space. Every pass of
        // that loop would end the same way, so the stopping length is worked out at once.
        const qsizetype length = box.size();
        qsizetype keep = othersRead ? thresholdPrefixLength(box) : 0;
        if (keep < length) {
            if (keep == 0 && box.startsWith(QLatin1Char(' ')))
                keep = 1;
            box.truncate(keep);
            changed_ = true;
            if (isBlankThreshold(box))
                return;
        }

        const qint64 low = *readThreshold(t_[LowProfileBox]);
        const qint64 medium = *readThreshold(t_[MediumProfileBox]);
        const qint64 high = *readThreshold(t_[HighProfileBox]);
        switch (index) {
        case LowProfileBox:
            if (low >= medium)
                set(MediumProfileBox, low + low, depth);
            break;
        case MediumProfileBox:
            if (low >= medium)
                set(LowProfileBox, medium - 1, depth);
            set(HighProfileBox, medium, depth);
            break;
        case HighProfileBox:
            set(MediumProfileBox, high, depth);
            break;
        }
    }

    bool changed() const { return changed_; }

private:
    void set(int index, qint64 value, int depth) {
        const QString text = QString::number(value);
        if (t_[index] == text)
            return;
        t_[index] = text;
        changed_ = true;
        run(index, depth + 1);
    }

    ProfileTexts& t_;
    bool changed_ = false;
};

} // namespace

bool isBlankThreshold(QStringView text) {
    return text.isEmpty() || (text.size() == 1 && text[0] == QLatin1Char(' '));
}

bool thresholdChangeRule(ProfileTexts& texts, int index) {
    if (index < LowProfileBox || index > HighProfileBox)
        return false;
    Chain chain(texts);
    chain.run(index, 0);
    return chain.changed();
}

} // namespace tally
