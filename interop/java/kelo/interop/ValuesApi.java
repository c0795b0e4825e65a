package kelo.interop;

import java.util.Date;
import java.util.List;
import java.util.Map;

/**
 * The reference server's service of plain Java values (path /values): each method takes and
 * returns one kind of value that a Java service commonly has in its signature, and changes it in a
 * way the caller can predict, so that a client sees that the server read its arguments.
 */
public interface ValuesApi {
  /** "pong": a call without arguments. */
  String ping();

  /** n + 1. */
  int next(int n);

  /** "Hello, " + name + "!". */
  String greet(String name);

  /** The day after: day + 86,400,000 ms. */
  Date nextDay(Date day);

  /** The bytes in reverse order. */
  byte[] reverse(byte[] bytes);

  /** A sorted copy of the array. */
  String[] sorted(String[] words);

  /** A new ArrayList of the words in reverse order. */
  List<String> reversed(List<String> words);

  /** A LinkedHashMap of the entries in the order of their keys, then "size": their number. */
  Map<String, Object> tally(Map<String, Object> entries);

  /** The team with member added to its members, and size counting them. */
  Team join(Team team, String member);

  /** A pair whose left and right are one and the same new team named name. */
  Pair twice(String name);

  /** A link named name whose next is itself. */
  Link loop(String name);
}
