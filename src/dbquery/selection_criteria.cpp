#include "dbquery/selection_criteria.h"

#include "core/strings.h"
#include "db/db_dialect.h"
#include "db/station_name.h"

#include <QStringList>
#include <algorithm>

namespace zev7 {

namespace {

const char* const kSideAlias[2] = {"OUT", "IN1"};
const char* const kSideId[2] = {"OUT_ID", "IN_ID"};

int index(SelectionSide s) {
    return static_cast<int>(s);
}

}  // namespace

SelectionSide otherSide(SelectionSide side) {
    return side == SelectionSide::Outgoing ? SelectionSide::Incoming : SelectionSide::Outgoing;
}

QString codePartColumn(CodePart part) {
    static const char* const kColumns[kCodePartCount] = {"CODE_CITY", "ADD_CODE", "NUM_ATX"};
    return QString::fromLatin1(kColumns[static_cast<int>(part)]);
}

bool SelectionCriteria::dayTicked(int dayWeekId) const {
    return dayWeekId >= 1 && dayWeekId <= 7 && days_[static_cast<std::size_t>(dayWeekId - 1)];
}

void SelectionCriteria::setDayTicked(int dayWeekId, bool ticked) {
    if (dayWeekId < 1 || dayWeekId > 7) {
        return;
    }
    days_[static_cast<std::size_t>(dayWeekId - 1)] = ticked;
    if (std::none_of(days_.begin(), days_.end(), [](bool d) { return d; })) {
        days_[static_cast<std::size_t>(dayWeekId - 1)] = true;
    }
}

void SelectionCriteria::setCodeTicked(CodeList& list, int index, bool ticked) {
    if (index < 0 || index >= list.size()) {
        return;
    }
    list[index].ticked = ticked;
    if (std::none_of(list.begin(), list.end(), [](const CodeItem& c) { return c.ticked; })) {
        list[index].ticked = true;
    }
}

CodeList& SelectionCriteria::codeList(SelectionSide s, CodePart part) {
    return codes[static_cast<std::size_t>(index(s))][static_cast<std::size_t>(part)];
}

const CodeList& SelectionCriteria::codeList(SelectionSide s, CodePart part) const {
    return codes[static_cast<std::size_t>(index(s))][static_cast<std::size_t>(part)];
}

bool SelectionCriteria::secondTicked(int firstIndex, int otherId) const {
    if (firstIndex < 0 || firstIndex >= numbers.size()) {
        return true;
    }
    // Whole identifiers are compared: excluding 12 leaves 1 ticked.
    return !numbers[firstIndex].excludedOthers.contains(otherId);
}

void SelectionCriteria::setSecondTicked(int firstIndex, int otherId, bool ticked) {
    if (firstIndex < 0 || firstIndex >= numbers.size()) {
        return;
    }
    QList<int>& excluded = numbers[firstIndex].excludedOthers;
    excluded.removeAll(otherId);
    if (!ticked) {
        excluded.append(otherId);
    }
}

SqlFragment SelectionCriteria::dateTimeCondition() const {
    const DbDialect& d = dbDialect();
    const QVariant d1 = d.dateValue(dateFromText(period.dateOn));
    const QVariant d2 = d.dateValue(dateFromText(period.dateOff));
    const QVariant t1 = d.timeValue(timeFromText(period.timeOn));
    const QVariant t2 = d.timeValue(timeFromText(period.timeOff));
    // A cycle counts when it starts on d1 at or after t1 or on a later day up to d2, and ends
    // on d2 at or before t2 or on an earlier day from d1 on.
    return SqlFragment(QStringLiteral("( (CYC.DATE_ON>=? AND CYC.TIME_ON>=?) OR "
                                      "  (CYC.DATE_ON>? AND CYC.DATE_ON<=?) ) AND "
                                      "  ((CYC.DATE_OFF<=? AND CYC.TIME_OFF<=?) OR "
                                      "  (CYC.DATE_OFF<? AND CYC.DATE_OFF>=?) )"),
                       {d1, t1, d1, d2, d2, t2, d2, d1});
}

QString SelectionCriteria::dayCondition() const {
    QStringList ticked;
    for (int day = 1; day <= 7; ++day) {
        if (dayTicked(day)) {
            ticked << QString::number(day);
        }
    }
    if (ticked.size() == 7) {
        return QStringLiteral(" ");
    }
    const QString list = ticked.join(QLatin1Char(','));
    return QStringLiteral(
               " AND ((CYC.DAY_WEEK_ON_ID IN (%1)) AND   (CYC.DAY_WEEK_OFF_ID IN (%1))) ")
        .arg(list);
}

SqlFragment SelectionCriteria::codeCondition(const QString& column, const CodeList& items) {
    bool withEmpty = false;
    QStringList marks;
    QVariantList values;
    for (const CodeItem& item : items) {
        if (!item.ticked) {
            continue;
        }
        if (item.value.isEmpty()) {
            withEmpty = true;
        } else {
            marks << QStringLiteral("?");
            values << item.value;
        }
    }
    SqlFragment out;
    if (withEmpty) {
        out += QStringLiteral(" AND ((%1) ").arg(dbDialect().isEmptyText(column));
    }
    if (!marks.isEmpty()) {
        out += SqlFragment(QStringLiteral("%1(%2 IN ( %3)) ")
                               .arg(withEmpty ? QStringLiteral(" OR ") : QStringLiteral(" AND "),
                                    column, marks.join(QLatin1Char(','))),
                           values);
    }
    if (withEmpty) {
        out += QStringLiteral(") ");
    }
    return out;
}

SqlFragment SelectionCriteria::codeCondition(SelectionSide s) const {
    SqlFragment out;
    for (int p = 0; p < kCodePartCount; ++p) {
        const auto part = static_cast<CodePart>(p);
        out += codeCondition(
            QString::fromLatin1(kSideAlias[index(s)]) + QLatin1Char('.') + codePartColumn(part),
            codeList(s, part));
    }
    return out;
}

SqlFragment SelectionCriteria::stationCondition() const {
    QStringList marks;
    QVariantList values{ownStation};
    for (const CodeItem& item : stations) {
        if (item.ticked) {
            marks << QStringLiteral("?");
            values << item.value;
        }
    }
    if (marks.size() == stations.size()) {
        return {};
    }
    return SqlFragment(
        QStringLiteral(" AND (%1 IN ( %2)) ")
            .arg(stationShownSql(QStringLiteral("CYC.STATION")), marks.join(QLatin1Char(','))),
        values);
}

QString SelectionCriteria::validate() const {
    const bool any =
        std::any_of(numbers.begin(), numbers.end(), [](const NumberItem& n) { return n.ticked; });
    if (any) {
        return {};
    }
    return txt(side == SelectionSide::Outgoing ? str::DbNoOutgoingChosen : str::DbNoIncomingChosen);
}

SqlFragment SelectionCriteria::selectionStatement() const {
    const QString own = QString::fromLatin1(kSideId[index(side)]);
    const QString other = QString::fromLatin1(kSideId[index(otherSide(side))]);
    QList<int> ids;
    QStringList exclusions;
    for (const NumberItem& n : numbers) {
        if (!n.ticked) {
            continue;
        }
        ids << n.id;
        if (!n.excludedOthers.isEmpty()) {
            exclusions << QStringLiteral("(CYC.%1=%2 AND CYC.%3 IN (%4))")
                              .arg(own, QString::number(n.id), other, idList(n.excludedOthers));
        }
    }
    SqlFragment out(QStringLiteral("INSERT INTO TEMP_CYCLE SELECT * FROM TABLE_CYCLE CYC WHERE "));
    out += dateTimeCondition();
    out += dayCondition();
    out += stationCondition();
    out += QStringLiteral("AND (CYC.%1 IN ( %2))").arg(own, idList(ids));
    if (!exclusions.isEmpty()) {
        out += QStringLiteral(" AND NOT(") + exclusions.join(QStringLiteral(" OR ")) +
               QLatin1Char(')');
    }
    return out;
}

}  // namespace zev7
