#!/usr/bin/python3
"""Writes the demo office as SQL: employees and their rights, callers, a year of telephone
messages up to the loading day, presences for the four weeks before and after it, and a
few events. The same day gives the same office (the generator is seeded); dates are
relative to that day so that the board never opens on a blank week.

    scripts/make_demo.py -o FILE [--today YYYY-MM-DD] [--now HH:MM]
"""
import argparse
import datetime as dt
import random
import re
import sys

from demo_texts import (CLOSERS, LONG_MESSAGES, OPENERS, SPECIAL_MESSAGE, TOPICS, fill)

ap = argparse.ArgumentParser()
ap.add_argument("-o", "--output", default="-")
ap.add_argument("--today", type=dt.date.fromisoformat, default=dt.date.today())
ap.add_argument("--now", default=dt.datetime.now().strftime("%H:%M"))
args = ap.parse_args()
TODAY = args.today
NOW = dt.datetime.combine(TODAY, dt.time.fromisoformat(args.now))

rnd = random.Random(20261206)
out = []


def q(s):
    if s is None:
        return "NULL"
    return "'" + s.replace("\\", "\\\\").replace("'", "''") + "'"


def d(day):
    return "'%s'" % day.isoformat()


class Insert:
    """Multi-row INSERTs: a year of messages stays a small file that loads in seconds."""

    def __init__(self, table, columns):
        self.head = "INSERT INTO %s (%s) VALUES\n" % (table, ", ".join(columns))
        self.rows = []

    def add(self, *values):
        self.rows.append("(" + ", ".join(values) + ")")
        if len(self.rows) >= 250:
            self.flush()

    def flush(self):
        if self.rows:
            out.append(self.head + ",\n".join(self.rows) + ";")
            self.rows = []


def rtf_escape(text):
    r = []
    for ch in text:
        if ch in "\\{}":
            r.append("\\" + ch)
        elif ch == "\n":
            r.append("\\par\r\n")
        elif ord(ch) < 128:
            r.append(ch)
        else:
            try:
                r.append("\\'%02x" % ch.encode("cp1252")[0])
            except UnicodeEncodeError:
                r.append("\\u%d?" % ord(ch))
    return "".join(r)


def rtf(text):
    return ("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
            "\\viewkind4\\uc1\\pard\\f0\\fs20 " + rtf_escape(text) + "\\par\r\n}\r\n")


# ---- Calendar: the holidays the program itself shows; the office is closed on them.

def easter(y):
    a, b, c = y % 19, y // 100, y % 100
    dd, e = b // 4, b % 4
    f = (b + 8) // 25
    g = (b - f + 1) // 3
    h = (19 * a + b - dd - g + 15) % 30
    i, k = c // 4, c % 4
    l = (32 + 2 * e + 2 * i - h - k) % 7
    m = (a + 11 * h + 22 * l) // 451
    month = (h + l - 7 * m + 114) // 31
    return dt.date(y, month, (h + l - 7 * m + 114) % 31 + 1)


def nth_monday(y, month, n):
    first = dt.date(y, month, 1)
    return first + dt.timedelta(days=(7 - first.weekday()) % 7 + 7 * (n - 1))


def holidays(y):
    may25 = dt.date(y, 5, 25)
    return {easter(y), dt.date(y, 1, 1), dt.date(y, 6, 24), dt.date(y, 7, 1), dt.date(y, 12, 25),
            nth_monday(y, 9, 1), nth_monday(y, 10, 2), may25 - dt.timedelta(days=may25.weekday() or 7)}


HOLIDAYS = set()
for y in range(TODAY.year - 2, TODAY.year + 2):
    HOLIDAYS |= holidays(y)


def working(day):
    return day.weekday() < 5 and day not in HOLIDAYS


def next_working(day):
    day += dt.timedelta(days=1)
    while not working(day):
        day += dt.timedelta(days=1)
    return day


MONDAY = TODAY - dt.timedelta(days=TODAY.weekday())
MOIS = ["janvier", "février", "mars", "avril", "mai", "juin", "juillet", "août", "septembre", "octobre",
        "novembre", "décembre"]
JOURS = ["lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"]


def long_date(day):
    return "%s %d %s" % (JOURS[day.weekday()], day.day, MOIS[day.month - 1])


# ---- Employees, rights, lists.

out.append("-- Demo office of %s, written by scripts/make_demo.py." % TODAY.isoformat())
out.append("SET NAMES utf8mb4;")

employees = [  # number, name, active, administrator, birthday (month, day), feminine
    (1, "Système", 1, 0, None, False),
    (2, "Julie Tremblay", 1, 1, (3, 14), True),
    (3, "Marc Gagnon", 1, 1, (7, 2), False),
    (4, "Sophie Roy", 1, 0, (11, 23), True),
    (5, "Éric Côté", 1, 0, (2, 28), False),
    (6, "Nathalie Bouchard", 1, 0, (5, 9), True),
    (7, "François Gauthier", 1, 0, (9, 30), False),
    (8, "Isabelle Morin", 1, 0, (12, 24), True),
    (9, "Luc Lavoie", 1, 0, (1, 17), False),
    (10, "Geneviève Fortin", 1, 0, (6, 6), True),
    (11, "Stéphane Gagné", 1, 0, (4, 2), False),
    (12, "Mélanie Ouellet", 1, 0, (10, 12), True),
    (13, "Pierre Pelletier", 0, 0, (8, 21), False),
]
NOM = {e[0]: e[1] for e in employees}
ACTIVE = [e[0] for e in employees if e[2] == 1 and e[0] != 1]
# A few birthdays fall on the boards around today: this week, three weeks back, two ahead.
birthdays = {6: MONDAY + dt.timedelta(days=2), 4: MONDAY - dt.timedelta(days=19),
             9: MONDAY + dt.timedelta(days=17)}
ins = Insert("tblemploye", ["NoEmploye", "Nom", "Actif", "MotPasse", "Configuration", "DateFete",
                            "AffPresenceAuto"])
for no, nom, actif, conf, fete, _ in employees:
    if no in birthdays:
        b = birthdays[no]
        born = "'%04d-%02d-%02d'" % (1975 + no, b.month, b.day)
    else:
        born = "NULL" if fete is None else "'%04d-%02d-%02d'" % (1970 + no, fete[0], fete[1])
    ins.add(str(no), q(nom), str(actif), "PASSWORD('demo')", str(conf), born, "0")
ins.flush()

ins = Insert("tblacces_empl", ["typeAcces", "NoEmploye"])
for t, no in [(14, n) for n in range(2, 14)] + [(5, 2), (5, 3), (13, 2), (16, 2), (16, 4)]:
    ins.add(str(t), str(no))
ins.flush()
ins = Insert("tblordreemployemsg", ["NoEmploye", "Ordre"])
for i, no in enumerate([2, 3, 4, 5, 6, 7, 8, 9], 1):
    ins.add(str(no), str(i))
ins.flush()

STATES = {1: "Ouvert", 2: "En traitement", 3: "En attente", 4: "Terminé", 5: "Annulé"}
ins = Insert("tbletatmessage", ["IdEtat", "Description", "Ordre"])
for i, s in STATES.items():
    ins.add(str(i), q(s), str(i))
ins.flush()
ins = Insert("tblpriorite", ["IdPriorite", "Description"])
for i, s in [(1, "Urgente"), (2, "Normale"), (3, "Basse")]:
    ins.add(str(i), q(s))
ins.flush()
TYPES = ["Rappeler", "A rappelé", "Information", "Rendez-vous", "Facturation", "Plainte"]
ins = Insert("tbltypemessage", ["IdType", "Description"])
for i, s in enumerate(TYPES, 1):
    ins.add(str(i), q(s))
ins.flush()
ins = Insert("tbltypeclient", ["IdTypeClient", "Description"])
for i, s in enumerate(["Particulier", "Entreprise", "Fournisseur"], 1):
    ins.add(str(i), q(s))
ins.flush()
ins = Insert("tblmsgpredef", ["Description"])
for s in ["Veuillez rappeler dès que possible.", "A laissé un message sur la boîte vocale.",
          "Rappellera plus tard.", "Urgent : rappeler avant midi.", "Pas besoin de rappeler.",
          "Attend les documents par courriel."]:
    ins.add(q(s))
ins.flush()
PSTATES = [(1, "Au bureau", 0xD8F5D8), (2, "Absent", 0xC0C0FF), (3, "Vacances", 0xF5DDB0),
           (4, "Formation", 0xB0F0FF), (5, "Télétravail", 0xF0C8E8), (6, "Rendez-vous extérieur", 0x90D0FF),
           (7, "Malade", 0xD0D0D0)]
ins = Insert("tbletatpresence", ["IdEtat", "Description", "Couleur"])
for i, s, c in PSTATES:
    ins.add(str(i), q(s), str(c))
ins.flush()
out.append("INSERT INTO tblpreferences (VersionBD) VALUES ('3.2');")

# ---- Callers: people, and companies reached through one contact.

FIRST = [("Jean", False), ("Marie", True), ("Louis", False), ("Chantal", True), ("Robert", False),
         ("Diane", True), ("André", False), ("Lise", True), ("Michel", False), ("Sylvie", True),
         ("Denis", False), ("Hélène", True), ("Claude", False), ("Manon", True), ("Réjean", False),
         ("Josée", True), ("Benoît", False), ("Annie", True), ("Gilles", False), ("Carole", True),
         ("Yves", False), ("Nicole", True), ("Serge", False), ("Francine", True), ("Martin", False),
         ("Ginette", True), ("Daniel", False), ("Véronique", True)]
LAST = ["Bélanger", "Lévesque", "Bergeron", "Leblanc", "Paquette", "Girard", "Simard", "Boucher", "Caron",
        "Beaulieu", "Cloutier", "Dubé", "Poirier", "Fournier", "Lapointe", "Leclerc", "Lefebvre", "Poulin",
        "Thibault", "St-Pierre", "Desjardins", "Mercier", "Hébert", "Gosselin", "Bédard", "Vachon"]
COMPANIES = [("Quincaillerie Lapointe inc.", 2), ("Toitures du Nord", 2), ("Cabinet Girard & Associés", 2),
             ("Transport Simard", 2), ("Boulangerie St-Pierre", 2), ("Garage Caron enr.", 2),
             ("Clinique dentaire Dubé", 2), ("Ferme Beaulieu", 2), ("Imprimerie Leclerc", 3),
             ("Construction Hébert ltée", 2), ("Fournitures de bureau Mercier", 3), ("Traiteur Le Festin", 2),
             ("Pharmacie Gosselin", 2), ("Électricité Vachon", 3), ("Résidence Les Érables", 2),
             ("Groupe Desjardins-Poulin", 2), ("Informatique Bédard", 3), ("Caisse populaire du Lac", 2),
             ("Municipalité de Saint-Élie", 2), ("Entrepôt frigorifique Boucher", 2)]


def tel():
    s = "(%03d)%03d-%04d" % (rnd.choice([418, 450, 514, 819, 581]), rnd.randint(200, 999), rnd.randint(0, 9999))
    if rnd.random() < 0.1:
        s += ":%d" % rnd.randint(1, 999)
    return s


callers = []  # id, first name, last name, feminine, company, folders, telephone
ins = Insert("tblclientmsg", ["IdClientMsg", "IdClientOrbel", "Nom", "Prenom", "NomCie", "Telephone",
                              "TelBureau", "Cellulaire", "AutreTel", "Fax", "TypeClient"])
folder_seq = 100
for i in range(1, 141):
    prenom, fem = rnd.choice(FIRST)
    nom = rnd.choice(LAST)
    company = i <= len(COMPANIES) * 3
    cie, kind = COMPANIES[(i - 1) % len(COMPANIES)] if company else (None, 1)
    t1 = tel() if (company or rnd.random() < 0.7) else ""
    bur = tel() if rnd.random() < (0.5 if company else 0.2) else ""
    cell = tel() if rnd.random() < 0.5 else ""
    autre = tel() if rnd.random() < 0.08 else ""
    fax = tel() if company and rnd.random() < 0.3 else ""
    if not (t1 or bur or cell):
        cell = tel()
    folders = []
    if company or rnd.random() < 0.4:
        for _ in range(rnd.choices([1, 2, 3], [60, 30, 10])[0]):
            folder_seq += rnd.randint(1, 9)
            folders.append("%d-%04d" % (TODAY.year - rnd.randint(0, 3), folder_seq))
    callers.append((i, prenom, nom, fem, cie, folders, t1 or cell or bur))
    ins.add(str(i), "0", q(nom), q(prenom), q(cie), q(t1), q(bur), q(cell), q(autre), q(fax),
            str(kind if company else 1))
ins.flush()

# ---- A year of messages, on working days, up to now.

days = []
day = TODAY - dt.timedelta(days=365)
while day <= TODAY:
    if working(day):
        days.append(day)
    day += dt.timedelta(days=1)


def call_times(day):
    n = max(4, int(rnd.gauss(17 if day.weekday() == 0 else 15, 4)))
    times = []
    for _ in range(n):
        minute = int(rnd.choice([rnd.gauss(10 * 60, 70), rnd.gauss(14 * 60 + 30, 80)]))
        minute = min(max(minute, 8 * 60 + 5), 17 * 60 + 20)
        t = dt.datetime.combine(day, dt.time(minute // 60, minute % 60, rnd.randint(0, 59)))
        if t <= NOW:
            times.append(t)
    return sorted(times)


# Who takes the calls, and for whom they are: the receptionist takes most of them.
TAKERS = [2] * 9 + [3, 4, 5, 6, 7, 8, 9, 10, 11, 12]
WANTED = {3: 14, 4: 10, 5: 9, 6: 8, 7: 9, 8: 7, 9: 8, 10: 6, 11: 7, 12: 6, 2: 5, 13: 8}


def recipients(sender, when):
    pool = [n for n in WANTED if n != sender and (n != 13 or when < TODAY - dt.timedelta(days=200))]
    k = rnd.choices([1, 2, 3], [76, 18, 6])[0]
    chosen = []
    while len(chosen) < k:
        n = rnd.choices(pool, [WANTED[p] for p in pool])[0]
        if n not in chosen:
            chosen.append(n)
    return chosen


def money():
    v = rnd.choice([rnd.randint(40, 900), rnd.randint(900, 25000)]) + rnd.choice([0, 0, 0.5, 0.25, 0.99])
    whole, cents = int(v), int(round((v - int(v)) * 100))
    s = "{:,}".format(whole).replace(",", " ")
    return s + (",%02d $" % cents if cents else " $")


def clock(minutes):
    h, m = divmod(minutes, 60)
    return "%d h %02d" % (h, m) if m else "%d h" % h


def hour_after(when):
    """A time later on the day of the call, for a deadline or an availability."""
    start = when.hour * 60 + when.minute + 30
    if start >= 17 * 60:
        return "17 h"
    return clock(min(17 * 60, (start // 15 + rnd.randint(1, 12)) * 15))


def slots(caller, when, recips):
    prenom, nom, fem, cie, folders, phone = (caller[1], caller[2], caller[3], caller[4], caller[5], caller[6]) \
        if caller else (rnd.choice(FIRST)[0], rnd.choice(LAST), rnd.random() < 0.5, None, [], tel())
    if not caller:
        fem = dict(FIRST).get(prenom, fem)
    later = next_working(when.date())
    colleague = NOM[rnd.choice([n for n in ACTIVE if n not in recips])].split()[0]
    return {
        "qui": ("Mme " if fem else "M. ") + nom, "prenom": prenom, "nom": nom,
        "Il": "Elle" if fem else "Il", "il": "elle" if fem else "il", "le": "la" if fem else "le",
        "e": "e" if fem else "", "sil": "si elle" if fem else "s'il", "inquiet": "inquiète" if fem else "inquiet",
        "de_cie": ((" d'" if cie[0] in "AEIOUÉÈ" else " de ") + cie) if cie else "",
        "dossier": rnd.choice(folders) if folders else "%d-%04d" % (when.year, rnd.randint(100, 999)),
        "montant": money(), "montant2": money(), "heure": hour_after(when), "tel": phone or tel(),
        "heure_appel": clock((when.hour * 60 + when.minute) // 5 * 5),
        "jour": JOURS[later.weekday()], "date": "%d %s" % (later.day, MOIS[later.month - 1]),
        "facture": str(rnd.randint(10000, 48000)), "collegue": colleague,
        "annee": str(when.year - 1),
    }


def compose(caller, when, recips):
    """One message as the person who took the call writes it, with its message types."""
    s = slots(caller, when, recips)
    r = rnd.random()
    if r < 0.008:
        text, kinds = fill(rnd.choice(LONG_MESSAGES), s), {3}
    elif r < 0.010:
        text, kinds = fill(SPECIAL_MESSAGE, s), {5}
    else:
        parts, kinds = [], set()
        if rnd.random() < 0.75:
            t, k = rnd.choice(OPENERS)
            parts.append(fill(t, s))
            kinds |= k
        for t, k in rnd.sample(TOPICS, rnd.choices([1, 2], [75, 25])[0]):
            parts.append(fill(t, s))
            kinds |= k
        if rnd.random() < 0.7:
            t, k = rnd.choice(CLOSERS)
            parts.append(fill(t, s))
            kinds |= k
        sep = "\n" if rnd.random() < 0.2 else " "
        text = sep.join(parts)
    return text, sorted(kinds)[:2], s["dossier"] if s["dossier"] in text else None


def working_delay(when, hours):
    t = when + dt.timedelta(hours=hours)
    while not working(t.date()) or not 8 <= t.hour < 17:
        day = t.date() if working(t.date()) and t.hour < 8 else next_working(t.date())
        t = dt.datetime.combine(day, dt.time(8, 30)) + dt.timedelta(minutes=rnd.randint(0, 300))
    return t.replace(microsecond=0)


def fate(when):
    """(state, unread, finish time, time of the change) of one recipient's row."""
    age = (TODAY - when.date()).days
    if age > 45:
        w = [0.7, 0.3, 0.5, 95.5, 3]
    elif age > 10:
        w = [10, 6, 8, 72, 4]
    elif age > 2:
        w = [30, 18, 12, 38, 2]
    else:
        w = [70, 15, 6, 9, 0]
    state = rnd.choices([1, 2, 3, 4, 5], w)[0]
    changed = None
    if state != 1:
        changed = working_delay(when, rnd.choice([0.2, 1, 3, 20, 48, 120]) + rnd.random())
        if changed > NOW:  # not yet: still open
            state, changed = 1, None
    unread = 1 if state == 1 and rnd.random() < (0.7 if age <= 1 else 0.3 if age <= 7 else 0.02) else 0
    return state, unread, changed if state == 4 else None, changed


msg = Insert("tblmessage", ["IdMessage", "DateSaisie", "HeureSaisie", "IdPriorite", "IdClientMsg", "Message"])
rec = Insert("tblmessageemploye", ["IdMessage", "NoEmplDe", "NoEmplA", "Nouveau", "IdEtat", "DateTermine",
                                   "NoMsgJourRecu", "NoMsgJourEnvoi"])
mtype = Insert("tblmessagetype", ["IdMessage", "IdType"])
folder = Insert("tblmessagedossier", ["IdMessage", "NoDossier"])
idmsg = 0
for day in days:
    sent, received = {}, {}
    for when in call_times(day):
        idmsg += 1
        sender = rnd.choice(TAKERS)
        recips = recipients(sender, day)
        caller = None if rnd.random() < 0.06 else rnd.choice(callers)
        text, kinds, named = compose(caller, when, recips)
        urgent = re.search(r"\b[Uu]rgent", text) is not None
        prio = 1 if urgent else rnd.choices([1, 2, 3], [6, 84, 10])[0]
        sent[sender] = sent.get(sender, 0) + 1
        audit = []
        for r in recips:
            received[r] = received.get(r, 0) + 1
            state, unread, finished, changed = fate(when)
            rec.add(str(idmsg), str(sender), str(r), str(unread), str(state),
                    "NULL" if finished is None else q(finished.strftime("%Y-%m-%d %H:%M:%S")),
                    str(received[r]), str(sent[sender]))
            if changed and rnd.random() < 0.9:
                audit.append((changed, "%s le %s à %s par %s" % (STATES[state], changed.strftime("%Y-%m-%d"),
                                                                 changed.strftime("%H:%M:%S"), NOM[r])))
        text = "\n".join([text] + [line for _, line in sorted(audit)])
        msg.add(str(idmsg), d(day), q(when.strftime("%H:%M:%S")), str(prio), str(caller[0] if caller else 0),
                q(rtf(text)))
        for k in kinds:
            mtype.add(str(idmsg), str(k))
        folders = [named] if named else []
        if caller and caller[5] and rnd.random() < (0.85 if caller[4] else 0.5):
            folders += rnd.sample(caller[5], rnd.choices([1, 2], [85, 15])[0] if len(caller[5]) > 1 else 1)
        # A folder the text names is always among the message's folders.
        for f in dict.fromkeys(folders):
            folder.add(str(idmsg), q(f))
for i in (msg, rec, mtype, folder):
    i.flush()

# ---- Presences: every working day of the four weeks before and after this one.

FIRST_DAY = MONDAY - dt.timedelta(weeks=4)
LAST_DAY = MONDAY + dt.timedelta(weeks=4, days=4)
span = []
day = FIRST_DAY
while day <= LAST_DAY:
    if working(day):
        span.append(day)
    day += dt.timedelta(days=1)

AU_BUREAU, ABSENT, VACANCES, FORMATION, TELETRAVAIL, RDV, MALADE = 1, 2, 3, 4, 5, 6, 7
board = {(no, day): [AU_BUREAU, AU_BUREAU, "", ""] for no in ACTIVE for day in span}
# Teleworking on a fixed weekday.
for no, wd in [(5, 4), (10, 2), (12, 0), (7, 4)]:
    for day in span:
        if day.weekday() == wd:
            board[(no, day)] = [TELETRAVAIL, TELETRAVAIL, rnd.choice(["Joignable au cellulaire", "", ""]), ""]


returns = set()  # (employee, day) a vacation note promises at the office


def free(no, days_):
    return all(board.get((no, x), [0])[0] == AU_BUREAU and board[(no, x)][1] == AU_BUREAU
               and (no, x) not in returns for x in days_)


def block(no, start, n):
    out_ = [start]
    while len(out_) < n:
        nxt = next_working(out_[-1])
        if nxt > LAST_DAY:
            break
        out_.append(nxt)
    return out_


# Vacations: a few blocks of three to five days, the return day noted and true.
for no in rnd.sample(ACTIVE, 6):
    for _ in range(10):
        start = rnd.choice(span)
        days_ = block(no, start, rnd.choice([3, 4, 5]))
        back = next_working(days_[-1])
        if free(no, days_) and (back > LAST_DAY or free(no, [back])):
            for x in days_:
                note = "Retour le %s" % long_date(back) if x in (days_[0], days_[-1]) else ""
                board[(no, x)] = [VACANCES, VACANCES, note, ""]
            returns.add((no, back))
            break
# Training days, outside visits, appointments, sick days (sick only up to today).
EVENTS_OF_DAY = [
    (FORMATION, FORMATION, ["Cours Excel avancé", "Formation fiscale à Québec", "Colloque annuel de l'Ordre"],
     ["", "", ""]),
    (RDV, AU_BUREAU, ["Chez Transport Simard, retour vers 11 h 30", "Visite chantier Construction Hébert",
                      "Rencontre à la Caisse populaire"], ["", "", ""]),
    (AU_BUREAU, RDV, ["", "Arrive à 8 h", ""], ["Chez le client à Lévis", "Signature chez le notaire, 14 h",
                                                 "Inventaire chez Quincaillerie Lapointe"]),
    (ABSENT, AU_BUREAU, ["Rendez-vous médical", "Rendez-vous chez le dentiste", "Enfant malade"],
     ["Arrive vers 13 h", "", ""]),
    (AU_BUREAU, ABSENT, ["", "Réunion d'équipe 9 h", ""], ["Congé personnel", "Part à 12 h 30", "Rendez-vous à l'école"]),
    (AU_BUREAU, AU_BUREAU, ["Arrive vers 10 h", "Réunion d'équipe 9 h", "Dîner client à 12 h"],
     ["Part à 15 h 30", "", "Réunion budget 14 h"]),
]
for no in ACTIVE:
    for _ in range(rnd.randint(4, 8)):
        day = rnd.choice(span)
        if not free(no, [day]):
            continue
        am, pm, notes_am, notes_pm = rnd.choice(EVENTS_OF_DAY)
        i = rnd.randrange(3)
        board[(no, day)] = [am, pm, notes_am[i], notes_pm[i]]
for no in rnd.sample(ACTIVE, 3):
    day = rnd.choice([x for x in span if x <= TODAY])
    days_ = block(no, day, rnd.choice([1, 2]))
    if free(no, days_):
        for x in days_:
            board[(no, x)] = [MALADE, MALADE, "Grippe" if x == days_[0] else "", ""]
ins = Insert("tblpresences", ["NoEmploye", "DatePresence", "EtatAM", "EtatPM", "DescripAM", "DescripPM"])
for (no, day), (am, pm, da, dp) in sorted(board.items()):
    ins.add(str(no), d(day), str(am), str(pm), q(da) if da else "NULL", q(dp) if dp else "NULL")
ins.flush()

# ---- Events: one this week, one four weeks back, a few more around.
taken = set(birthdays.values())
events = [(3, "Dîner d'équipe au restaurant, 12 h", 0xCCFFFF, 0x004080),
          (-26, "Visite du vérificateur", 0xE0E0FF, 0x000080),
          (-11, "Réunion générale, 8 h 30", 0xFFE0C0, 0x800000),
          (8, "Fermeture du bureau à 15 h", 0xC0C0C0, 0x000000),
          (22, "Formation sécurité incendie", 0xC0FFC0, 0x006000)]
ins = Insert("tblevenement", ["DateEvenement", "Description", "BackColor", "ForeColor"])
for offset, text, back, fore in events:
    day = MONDAY + dt.timedelta(days=offset)
    while not working(day) or day in taken:
        day = next_working(day)
    taken.add(day)
    ins.add(d(day), q(text), str(back), str(fore))
ins.flush()

# Last: the demo script takes this row as the mark of a complete load.
out.append("INSERT INTO tblmajencours (Id, Etat) VALUES (1, 0);")

sql = "\n".join(out) + "\n"
if args.output == "-":
    sys.stdout.write(sql)
else:
    with open(args.output, "w", encoding="utf-8") as f:
        f.write(sql)
print("%d messages, %d appelants" % (idmsg, len(callers)), file=sys.stderr)
