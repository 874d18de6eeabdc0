#!/usr/bin/perl
# Prints "<count> <bytes>": how many resources of type OWNER_DATA (the
# payload) a 32-bit Windows program carries, and their bytes, read from the
# resource section of the program file itself.
use strict;
use warnings;

my $file = shift or die "usage: owner_data_bytes.pl PROGRAM.exe\n";
open(my $fh, '<:raw', $file) or die "$file: $!\n";
my $image = do { local $/; <$fh> };
close $fh;

sub fail { die "$file: $_[0]\n" }
sub u16 { $_[0] + 2 <= length $image or fail('truncated'); unpack('v', substr($image, $_[0], 2)) }
sub u32 { $_[0] + 4 <= length $image or fail('truncated'); unpack('V', substr($image, $_[0], 4)) }

substr($image, 0, 2) eq 'MZ' or fail('not a Windows program');
my $pe = u32(0x3c);
u32($pe) == 0x4550 or fail('no PE header');
my $sections = u16($pe + 6);
my $optional = $pe + 24;
u16($optional) == 0x10b or fail('not a 32-bit program');
my $section_table = $optional + u16($pe + 20);
my $resource_rva = u32($optional + 96 + 8 * 2);   # data directory 2: resources

# The file offset of a relative virtual address, through the section table.
sub file_offset {
    my ($rva) = @_;
    for my $i (0 .. $sections - 1) {
        my $s = $section_table + 40 * $i;
        my ($va, $raw_size, $raw) = (u32($s + 12), u32($s + 16), u32($s + 20));
        return $raw + $rva - $va if $rva >= $va && $rva < $va + $raw_size;
    }
    fail(sprintf('address 0x%x lies in no section', $rva));
}

# The entries of the resource directory at $dir: [name or id, offset, is a
# subdirectory]; offsets count from the resource section's start $base.
sub entries {
    my ($base, $dir) = @_;
    my $count = u16($base + $dir + 12) + u16($base + $dir + 14);
    my @entries;
    for my $e (map { $base + $dir + 16 + 8 * $_ } 0 .. $count - 1) {
        my ($name, $target) = (u32($e), u32($e + 4));
        if ($name & 0x80000000) {
            my $at = $base + ($name & 0x7fffffff);
            $name = pack('U*', unpack('v*', substr($image, $at + 2, 2 * u16($at))));
        }
        push @entries, [$name, $target & 0x7fffffff, $target & 0x80000000];
    }
    return @entries;
}

# Below the type: names, then languages, then the data entries.
sub data_sizes {
    my ($base, $dir, $depth) = @_;
    $depth < 3 or fail('resource directory nested too deep');
    return map { $_->[2] ? data_sizes($base, $_->[1], $depth + 1) : u32($base + $_->[1] + 4) }
        entries($base, $dir);
}

my @sizes;
if ($resource_rva) {
    my $base = file_offset($resource_rva);
    for my $type (entries($base, 0)) {
        push @sizes, data_sizes($base, $type->[1], 1) if $type->[0] eq 'OWNER_DATA' && $type->[2];
    }
}
my $bytes = 0;
$bytes += $_ for @sizes;
print scalar(@sizes), " $bytes\n";
