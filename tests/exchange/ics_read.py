"""A second reader of calendar files for the tests: prints each VEVENT as one
line, or writes the calendar back as this library writes it (a round trip
through a reader that shares no code with the program)."""
import datetime
import sys

import icalendar


def when(v):
    if v is None:
        return ''
    d = v.dt
    if isinstance(d, datetime.datetime):
        tz = d.tzinfo
        name = getattr(tz, 'zone', None) or getattr(tz, 'key', None) or str(tz)
        return 'T%d@%s' % (int(d.timestamp()), name)
    return 'D' + d.strftime('%Y%m%d')


def main():
    cal = icalendar.Calendar.from_ical(open(sys.argv[2], 'rb').read())
    if sys.argv[1] == 'rewrite':
        open(sys.argv[3], 'wb').write(cal.to_ical())
        return
    print('ZONES ' + ','.join(str(z.get('tzid')) for z in cal.walk('VTIMEZONE')))
    rows = []
    for ev in cal.walk('VEVENT'):
        cats = ev.get('categories')
        cats = cats.to_ical().decode() if cats is not None else ''
        trig = [str(int(a.decoded('trigger').total_seconds())) for a in ev.walk('VALARM')]
        rows.append('|'.join([str(ev.get('uid')), when(ev.get('dtstart')), when(ev.get('dtend')),
                              str(ev.get('summary', '')), str(ev.get('description', '')).replace('\n', '\\n'),
                              cats, ','.join(trig)]))
    print('\n'.join(sorted(rows)))


main()
